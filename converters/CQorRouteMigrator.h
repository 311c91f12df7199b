#pragma once
#include <map>
#include <string>

#include "CSystemIni2LandscapeMigrator.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// The routers of qorroute.ini, into the shared landscape.
class CQorRouteMigrator : public CSystemIni2LandscapeMigrator
{
public:
    struct Router
    {
        std::string uuid;
        std::string name;
        std::string router;
        std::string description;
    };

    explicit CQorRouteMigrator(const CMigrationToolConfig* config);
    virtual ~CQorRouteMigrator();

    bool Do_Migration() override;
    bool Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc) override;

    void Initialize();
    bool Ini2Xml_Read_Qorroute_Ini();
    void Post_Process_Router_String(std::string& router);
    void Ini2Xml_Merge_Routers_into_Main_Node(const IXMLDOMNodePtr& l_node);
    void Ini2Xml_Filter_Already_Existing_Routers(const IXMLDOMNodePtr& l_node);
    void Ini2Xml_Fill_Router_Nodes(const IXMLDOMNodePtr& l_node);

    const std::map<std::string, Router>& Get_Routers() const { return m_routers; }

private:
    std::map<std::string, Router> m_routers;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
