#include "CQorMsgMigrator.h"

#include "TraceScope.h"
#include "Uuid.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

CQorMsgMigrator::CQorMsgMigrator(const CMigrationToolConfig* config) : CSystemIni2LandscapeMigrator(config)
{
    QOR_TRACE_SCOPE(this, "config=%s", config->To_String());
    m_ldap.uuid = QOR::FrontEnd::Util::Generate_Uuid();
    trace_scope.Data("m_ldap.uuid = '%s'.\n", m_ldap.uuid);
}

CQorMsgMigrator::~CQorMsgMigrator() = default;

bool CQorMsgMigrator::Do_Migration()
{
    QOR_TRACE_SCOPE(this);
    Initialize();
    const CMigrationToolConfig* config = Get_Configuration();
    CQorMsgParser::Parse_Qormsg_Ini(config->Get_Qormsg_INI_Path(), m_msg_servers, m_ldap_found, m_ldap);
    CQorMsgParser::Parse_Services(config->Get_Windows_Services_File(), m_msg_servers);
    Remove_Missing_Port_Numbers();
    for (auto& server : m_msg_servers)
        server.second.uuid = QOR::FrontEnd::Util::Generate_Uuid();
    const std::string shared = config->Get_Shared_Landscape_XML_Path();
    const bool persisted = Ini2Xml_Persist(shared);
    if (!persisted)
        trace_scope.Warning("Persisting message server configuration to file '%s' failed.\n", shared);
    return trace_scope.Return(persisted);
}

void CQorMsgMigrator::Initialize()
{
    QOR_TRACE_SCOPE(this);
    m_msg_servers.clear();
}

void CQorMsgMigrator::Remove_Missing_Port_Numbers()
{
    QOR_TRACE_SCOPE(this);
    for (const auto& server : m_msg_servers)
        if (server.second.port == 0)
            trace_scope.Warning("Missing port number for server: '%s'.\n", server.second.name);
}

bool CQorMsgMigrator::Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc)
{
    QOR_TRACE_SCOPE(this, "doc=%s\n", Xml_Text(doc));
    const IXMLDOMElementPtr root = Landscape_Root(doc, trace_scope);
    if (!root)
        return trace_scope.Return(false);
    Ini2Xml_Merge_Servers_into_Main_Node(Ini2Xml_Get_LS_Main_Element(root, "Messageservers"));
    if (m_ldap_found)
        Ini2Xml_Merge_LDAP_into_Main_Node(Ini2Xml_Get_LS_Main_Element(root, "LDAPs"));
    return trace_scope.Return(true);
}

IXMLDOMElementPtr CQorMsgMigrator::Ini2Xml_Get_LS_Main_Element(const IXMLDOMElementPtr& root,
                                                               const _bstr_t& element_tag)
{
    QOR_TRACE_SCOPE(this, "l_root=%s, element_tag=%s\n", Xml_Text(root), To_Narrow(element_tag));
    IXMLDOMElementPtr element = Find_Main_Element(root, element_tag);
    if (!element) {
        trace_scope.Data("No node '%s' found. Creating a new one.\n", To_Narrow(element_tag));
        element = Append_Element(root, element_tag);
    }
    return element;
}

void CQorMsgMigrator::Ini2Xml_Merge_Servers_into_Main_Node(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node\n");
    Ini2Xml_Filter_Already_Existing_Servers(l_node);
    Ini2Xml_Fill_Server_Nodes(l_node);
}

void CQorMsgMigrator::Ini2Xml_Filter_Already_Existing_Servers(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node\n");
    for (IXMLDOMNodePtr child = First_Child(l_node); child; child = Next_Sibling(child)) {
        if (!Is_Element(child))
            continue;
        const std::string element = Node_Name(child);
        if (element != "Messageserver") {
            trace_scope.Warning("Unexpected element '%s', 'Messageserver' expected.\n", element);
            continue;
        }
        const std::string name = Read_Attribute(child, "name");
        if (m_msg_servers.erase(name))
            trace_scope.Warning("Message server '%s' already exists in the landscape.\n", name);
    }
}

void CQorMsgMigrator::Ini2Xml_Fill_Server_Nodes(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node\n");
    for (const auto& entry : m_msg_servers) {
        const SMessageServer& server = entry.second;
        const IXMLDOMElementPtr element = Append_Element(l_node, "Messageserver");
        Set_Attribute(element, "uuid", server.uuid);
        Set_Attribute(element, "name", server.name);
        Set_Attribute(element, "description", server.description);
        Set_Attribute(element, "host", server.host);
        Set_Attribute(element, "port", server.port ? std::to_string(server.port) : std::string());
    }
}

void CQorMsgMigrator::Ini2Xml_Merge_LDAP_into_Main_Node(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node\n");
    const IXMLDOMElementPtr element = Append_Element(l_node, "LDAP");
    Set_Attribute(element, "uuid", m_ldap.uuid);
    Set_Attribute(element, "mode", m_ldap.mode);
    Set_Attribute(element, "server", m_ldap.server);
    Set_Attribute(element, "node", m_ldap.node);
    Set_Attribute(element, "options", m_ldap.options);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
