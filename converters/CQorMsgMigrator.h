#pragma once
#include <map>
#include <string>

#include "CQorMsgParser.h"
#include "CSystemIni2LandscapeMigrator.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// Message servers of qormsg.ini (ports from the services file) and the LDAP
// settings, into the shared landscape. Its server map, keyed by system ID, also
// gives the entry migration the ports that connections lack.
class CQorMsgMigrator : public CSystemIni2LandscapeMigrator
{
public:
    explicit CQorMsgMigrator(const CMigrationToolConfig* config);
    virtual ~CQorMsgMigrator();

    bool Do_Migration() override;
    bool Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc) override;

    void Initialize();
    void Remove_Missing_Port_Numbers();
    IXMLDOMElementPtr Ini2Xml_Get_LS_Main_Element(const IXMLDOMElementPtr& root, const _bstr_t& element_tag);
    void Ini2Xml_Merge_Servers_into_Main_Node(const IXMLDOMNodePtr& l_node);
    void Ini2Xml_Filter_Already_Existing_Servers(const IXMLDOMNodePtr& l_node);
    void Ini2Xml_Fill_Server_Nodes(const IXMLDOMNodePtr& l_node);
    void Ini2Xml_Merge_LDAP_into_Main_Node(const IXMLDOMNodePtr& l_node);

    const std::map<std::string, SMessageServer>& Get_Message_Servers() const { return m_msg_servers; }

private:
    std::map<std::string, SMessageServer> m_msg_servers;
    SLDAP m_ldap;
    bool m_ldap_found = false;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
