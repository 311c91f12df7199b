#include "CQorRouteMigrator.h"

#include <cctype>
#include <fstream>

#include "FileSystem.h"
#include "TraceScope.h"
#include "Uuid.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

std::string Trim(const std::string& line)
{
    auto blank = [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; };
    size_t first = 0, last = line.size();
    while (first < last && blank(line[first]))
        ++first;
    while (last > first && blank(line[last - 1]))
        --last;
    return line.substr(first, last - first);
}

} // namespace

CQorRouteMigrator::CQorRouteMigrator(const CMigrationToolConfig* config) : CSystemIni2LandscapeMigrator(config)
{
    QOR_TRACE_SCOPE(this, "config=%s", config->To_String());
}

CQorRouteMigrator::~CQorRouteMigrator() = default;

bool CQorRouteMigrator::Do_Migration()
{
    QOR_TRACE_SCOPE(this);
    const CMigrationToolConfig* config = Get_Configuration();
    const std::string routeFile = config->Get_Qorroute_INI_Path();
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(routeFile)) {
        trace_scope.Warning("Route file '%s' does not exist. No routers to migrate.\n", routeFile);
        return trace_scope.Return(true);
    }
    Initialize();
    Ini2Xml_Read_Qorroute_Ini();
    for (auto& router : m_routers)
        router.second.uuid = QOR::FrontEnd::Util::Generate_Uuid();
    const std::string shared = config->Get_Shared_Landscape_XML_Path();
    const bool persisted = Ini2Xml_Persist(shared);
    if (!persisted)
        trace_scope.Error("Cannot persist landscape file '%s'.\n", shared);
    return trace_scope.Return(persisted);
}

void CQorRouteMigrator::Initialize()
{
    QOR_TRACE_SCOPE(this);
    m_routers.clear();
}

// Reads the bytes as they are; only the [Router] sections count, and in them
// every line must be name=router.
bool CQorRouteMigrator::Ini2Xml_Read_Qorroute_Ini()
{
    QOR_TRACE_SCOPE(this);
    const std::string path = Get_Configuration()->Get_Qorroute_INI_Path();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return trace_scope.Return(trace_scope.Failed("Cannot open ini file '%s'.\n", path));
    trace_scope.Data("Starting reading from file: '%s'.\n", path);
    bool inRouterSection = false;
    std::string raw;
    while (file.good()) {
        std::getline(file, raw);
        const std::string line = Trim(raw);
        if (line == "[Router]" || (!line.empty() && line[0] == '[')) {
            trace_scope.Data("Encountered '%s' section.\n", line);
            inRouterSection = line == "[Router]";
        } else if (inRouterSection) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos) {
                trace_scope.Warning("Invalid router line detected: '%s'.\n", line);
                continue;
            }
            Router router{std::string(), line.substr(0, equals), line.substr(equals + 1), std::string()};
            Post_Process_Router_String(router.router);
            trace_scope.Data("Router '%s'/'%s' discovered.\n", router.name, router.router);
            m_routers[router.name] = router;
        }
    }
    trace_scope.Data("Closing file: '%s'.\n", path);
    file.close();
    trace_scope.Data(" ------- Total routers: %d.\n", static_cast<int>(m_routers.size()));
    return trace_scope.Return(true);
}

void CQorRouteMigrator::Post_Process_Router_String(std::string& router)
{
    QOR_TRACE_SCOPE(this, "router=%s", router);
    const std::string suffix = "/H/";
    if (router.size() >= suffix.size() && router.compare(router.size() - suffix.size(), suffix.size(), suffix) == 0) {
        trace_scope.Data("Removing trailing '/H/' from router string '%s'.\n", router);
        router.erase(router.size() - suffix.size());
    }
}

bool CQorRouteMigrator::Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc)
{
    QOR_TRACE_SCOPE(this, "doc=%s\n", Xml_Text(doc));
    const IXMLDOMElementPtr root = Landscape_Root(doc, trace_scope);
    if (!root)
        return trace_scope.Return(false);
    IXMLDOMElementPtr routers = Find_Main_Element(root, "Routers");
    if (routers) {
        trace_scope.Data("Routers element found.\n");
    } else {
        trace_scope.Data("No node 'Routers' found. Creating a new one.\n");
        routers = Append_Element(root, "Routers");
    }
    Ini2Xml_Merge_Routers_into_Main_Node(routers);
    return trace_scope.Return(true);
}

void CQorRouteMigrator::Ini2Xml_Merge_Routers_into_Main_Node(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this);
    Ini2Xml_Filter_Already_Existing_Routers(l_node);
    Ini2Xml_Fill_Router_Nodes(l_node);
}

void CQorRouteMigrator::Ini2Xml_Filter_Already_Existing_Routers(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node=%s\n", Xml_Text(l_node));
    for (IXMLDOMNodePtr child = First_Child(l_node); child; child = Next_Sibling(child)) {
        if (!Is_Element(child))
            continue;
        const std::string element = Node_Name(child);
        if (element != "Router") {
            trace_scope.Warning("Unexpected element '%s', 'Router' expected.\n", element);
            continue;
        }
        const std::string name = Read_Attribute(child, "name");
        if (m_routers.erase(name))
            trace_scope.Warning("Router '%s' already exists in the landscape.\n", name);
    }
}

void CQorRouteMigrator::Ini2Xml_Fill_Router_Nodes(const IXMLDOMNodePtr& l_node)
{
    QOR_TRACE_SCOPE(this, "l_node=%s\n", Xml_Text(l_node));
    for (const auto& entry : m_routers) {
        const Router& router = entry.second;
        const IXMLDOMElementPtr element = Append_Element(l_node, "Router");
        Set_Attribute(element, "uuid", router.uuid);
        Set_Attribute(element, "name", router.name);
        Set_Attribute(element, "description", router.description);
        Set_Attribute(element, "router", router.router);
    }
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
