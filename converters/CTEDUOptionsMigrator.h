#pragma once
#include <memory>
#include <string>

#include "CMsXmlDocument.h"
#include "CSystemIni2LandscapeMigrator.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// The business client's connections (TEDUOptions.xml) become services of the
// landscape, listed in a workspace: the machine's file into the shared
// landscape, the user's file into the user landscape.
class CTEDUOptionsMigrator : public CSystemIni2LandscapeMigrator
{
public:
    struct Connection
    {
        std::string uuid;
        std::string type;
        std::string description;
        std::string name;
        std::string client;
        std::string user;
        std::string language;
        std::string url;
        std::string mnemonic;
        std::string logon_description;
        bool secure_login = false;
        bool hidden = false;
    };

    CTEDUOptionsMigrator(const CMigrationToolConfig* config, bool migrate_shared_data);
    virtual ~CTEDUOptionsMigrator();

    bool Do_Migration() override;
    bool Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc) override;

    bool Load_Options_File(const std::string& path);
    bool Merge_Options_Document(const IXMLDOMElementPtr& services, const IXMLDOMElementPtr& workspace);
    void Merge_Connection_List(const IXMLDOMNodePtr& list, const std::string& type, const IXMLDOMElementPtr& services,
                               const IXMLDOMElementPtr& workspace);
    void Merge_Connection(const IXMLDOMNodePtr& connection, const std::string& type, const IXMLDOMElementPtr& services,
                          const IXMLDOMElementPtr& workspace);
    void Read_Connection(const IXMLDOMNodePtr& connection, Connection& record);
    void Write_Service(const Connection& record, const IXMLDOMElementPtr& services, const IXMLDOMElementPtr& workspace);
    void Link_Qorgui_Service(const IXMLDOMElementPtr& service, const Connection& record,
                             const IXMLDOMElementPtr& services);

private:
    IXMLDOMElementPtr Prepare_Workspace(const IXMLDOMElementPtr& workspaces);

    std::shared_ptr<QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument> m_options;
    bool m_migrate_shared_data;
    bool m_processing_user_file = false;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
