#include "CTEDUOptionsMigrator.h"

#include <cstring>

#include "FileSystem.h"
#include "Uuid.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

using QOR::FrontEnd::MsXmlAdaptor::Check;

namespace {

const char* const Workspace_Name = "TEDU Admin Configuration";

// The three lists of the options file and the service type of each.
const char* List_Type(const std::string& list)
{
    if (list == "RuntimeConnections")
        return "TEDU";
    if (list == "SearchProviderConnections")
        return "Search";
    if (list == "SidePanelConnections")
        return "SidePanel";
    return nullptr;
}

std::string Text_Of(const IXMLDOMNodePtr& node)
{
    BSTR text = nullptr;
    Check(node->get_text(&text));
    const _bstr_t owned(text, false);
    return owned.length() ? std::string(static_cast<const char*>(owned)) : std::string();
}

// The attribute as text, or false when it is absent.
bool Attribute_Text(const IXMLDOMElementPtr& element, const char* name, std::string& value)
{
    _variant_t attribute;
    Check(element->getAttribute(_bstr_t(name), &attribute));
    if (attribute.vt != VT_BSTR)
        return false;
    const _bstr_t text(attribute.bstrVal);
    value = text.length() ? std::string(static_cast<const char*>(text)) : std::string();
    return true;
}

} // namespace

CTEDUOptionsMigrator::CTEDUOptionsMigrator(const CMigrationToolConfig* config, bool migrate_shared_data)
    : CSystemIni2LandscapeMigrator(config), m_migrate_shared_data(migrate_shared_data)
{
}

CTEDUOptionsMigrator::~CTEDUOptionsMigrator() = default;

bool CTEDUOptionsMigrator::Do_Migration()
{
    using QOR::FrontEnd::Util::FileSystem::File_Exists;
    const CMigrationToolConfig* config = Get_Configuration();
    m_processing_user_file = false;
    bool shared = true;
    const std::string sharedOptions = config->Get_Shared_TEDUOptions_XML_Path();
    if (m_migrate_shared_data && File_Exists(sharedOptions))
        shared = Load_Options_File(sharedOptions) && Ini2Xml_Persist(config->Get_Shared_Landscape_XML_Path());

    m_processing_user_file = true;
    bool user = true;
    const std::string userOptions = config->Get_User_TEDUOptions_XML_Path();
    if (File_Exists(userOptions))
        user = Load_Options_File(userOptions) && Ini2Xml_Persist(config->Get_User_Landscape_XML_Path());
    return shared && user;
}

bool CTEDUOptionsMigrator::Load_Options_File(const std::string& path)
{
    m_options = std::make_shared<QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument>();
    CString message;
    return m_options->Load_From_File(CString(path.c_str()), message, true);
}

bool CTEDUOptionsMigrator::Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc)
{
    IXMLDOMElementPtr root;
    Check(doc->get_documentElement(&root));
    if (!root || Node_Name(root) != "Landscape")
        return false;
    IXMLDOMElementPtr services, workspaces;
    for (IXMLDOMNodePtr child = First_Child(root); child; child = Next_Sibling(child)) {
        if (!Is_Element(child))
            continue;
        const std::string name = Node_Name(child);
        if (name == "Services" && !services)
            services = child;
        else if (name == "Workspaces" && !workspaces)
            workspaces = child;
    }
    if (!services)
        services = Append_Element(root, "Services");
    if (!workspaces)
        workspaces = Append_Element(root, "Workspaces");
    return Merge_Options_Document(services, Prepare_Workspace(workspaces));
}

// The user's connections join the first workspace of the user landscape; the
// machine's get a workspace of their own on every run.
IXMLDOMElementPtr CTEDUOptionsMigrator::Prepare_Workspace(const IXMLDOMElementPtr& workspaces)
{
    if (m_processing_user_file) {
        IXMLDOMNodeListPtr existing;
        Check(workspaces->getElementsByTagName(_bstr_t("Workspace"), &existing));
        IXMLDOMNodePtr first;
        Check(existing->get_item(0, &first));
        if (first)
            return first;
    }
    const IXMLDOMElementPtr workspace = Append_Element(workspaces, "Workspace");
    Set_Attribute(workspace, "uuid", QOR::FrontEnd::Util::Generate_Uuid());
    Set_Attribute(workspace, "name", Workspace_Name);
    return workspace;
}

bool CTEDUOptionsMigrator::Merge_Options_Document(const IXMLDOMElementPtr& services, const IXMLDOMElementPtr& workspace)
{
    IXMLDOMElementPtr root;
    Check(IXMLDOMDocumentPtr(m_options->m_pXmlDocument)->get_documentElement(&root));
    if (!root || Node_Name(root) != "TeduOptions")
        return false;
    for (IXMLDOMNodePtr list = First_Child(root); list; list = Next_Sibling(list))
        if (Is_Element(list))
            if (const char* type = List_Type(Node_Name(list)))
                Merge_Connection_List(list, type, services, workspace);
    return true;
}

void CTEDUOptionsMigrator::Merge_Connection_List(const IXMLDOMNodePtr& list, const std::string& type,
                                                 const IXMLDOMElementPtr& services, const IXMLDOMElementPtr& workspace)
{
    for (IXMLDOMNodePtr connection = First_Child(list); connection; connection = Next_Sibling(connection))
        if (Is_Element(connection))
            Merge_Connection(connection, type, services, workspace);
}

void CTEDUOptionsMigrator::Merge_Connection(const IXMLDOMNodePtr& connection, const std::string& type,
                                            const IXMLDOMElementPtr& services, const IXMLDOMElementPtr& workspace)
{
    Connection record;
    Read_Connection(connection, record);
    record.type = type;
    Write_Service(record, services, workspace);
}

void CTEDUOptionsMigrator::Read_Connection(const IXMLDOMNodePtr& connection, Connection& record)
{
    record.uuid = QOR::FrontEnd::Util::Generate_Uuid();
    std::string invisible;
    if (Attribute_Text(connection, "Invisible", invisible))
        record.hidden = CString(invisible.c_str()).Compare("true") == 0;
    for (IXMLDOMNodePtr child = First_Child(connection); child; child = Next_Sibling(child)) {
        if (!Is_Element(child))
            continue;
        const std::string name = Node_Name(child);
        std::string* field = name == "Comment"         ? &record.description
                             : name == "Name"          ? &record.name
                             : name == "Client"        ? &record.client
                             : name == "User"          ? &record.user
                             : name == "Language"      ? &record.language
                             : name == "Url"           ? &record.url
                             : name == "Mnemonic"      ? &record.mnemonic
                             : name == "QorlogonDescr" ? &record.logon_description
                                                       : nullptr;
        if (field)
            *field = Text_Of(child);
        else if (name == "Slc" || name == "UseSecureLoginClient")
            record.secure_login = Text_Of(child) == "true";
    }
}

void CTEDUOptionsMigrator::Write_Service(const Connection& record, const IXMLDOMElementPtr& services,
                                         const IXMLDOMElementPtr& workspace)
{
    IXMLDOMDocumentPtr owner;
    Check(services->get_ownerDocument(&owner));
    IXMLDOMElementPtr service;
    Check(owner->createElement(_bstr_t("Service"), &service));
    Set_Attribute(service, "type", record.type);
    Set_Attribute(service, "uuid", record.uuid);
    Set_Attribute(service, "description", record.description);
    Set_Attribute(service, "name", record.name);
    Set_Attribute(service, "client", record.client);
    Set_Attribute(service, "user", record.user);
    Set_Attribute(service, "language", record.language);
    Set_Attribute(service, "url", record.url);
    Set_Attribute(service, "mnemonic", record.mnemonic);
    Set_Attribute(service, "slc", record.secure_login ? "1" : "0");
    Link_Qorgui_Service(service, record, services);
    IXMLDOMNodePtr appended;
    Check(services->appendChild(service, &appended));

    const IXMLDOMElementPtr item = Append_Element(workspace, "Item");
    Set_Attribute(item, "uuid", QOR::FrontEnd::Util::Generate_Uuid());
    Set_Attribute(item, "serviceid", record.uuid);
    if (record.hidden)
        Set_Attribute(item, "hidden", "1");
}

// A connection that names a classic logon entry points at its QORGUI service.
void CTEDUOptionsMigrator::Link_Qorgui_Service(const IXMLDOMElementPtr& service, const Connection& record,
                                               const IXMLDOMElementPtr& services)
{
    if (record.logon_description.empty())
        return;
    for (IXMLDOMNodePtr child = First_Child(services); child; child = Next_Sibling(child)) {
        if (!Is_Element(child))
            continue;
        std::string type, name, uuid;
        if (Attribute_Text(child, "type", type) && type == "QORGUI" && Attribute_Text(child, "name", name) &&
            name == record.logon_description && Attribute_Text(child, "uuid", uuid)) {
            Set_Attribute(service, "qorguiid", uuid);
            return;
        }
    }
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
