#include "MessageServerPortRule.h"

#include <cstdlib>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const char* const Server_Property = "MsgServerName";
const char* const System_Property = "SystemID";

const char* Value_Of(const CMapStringToString& properties, const char* name, CString& value)
{
    return properties.Lookup(name, value) ? value.GetString() : nullptr;
}

const char* Value_Of(const std::map<std::string, std::string>& properties, const char* name)
{
    const auto found = properties.find(name);
    return found == properties.end() ? nullptr : found->second.c_str();
}

} // namespace

bool MessageServerPortRule::Applies(const char* port, const char* server, const char* system_id, std::string& system)
{
    if (!port || !server || std::atoi(port) != 0 || !system_id)
        return false;
    system = system_id;
    return true;
}

bool MessageServerPortRule::Applies(const CMapStringToString& properties, std::string& system)
{
    CString port, server, system_id;
    return Applies(Value_Of(properties, Port_Property, port), Value_Of(properties, Server_Property, server),
                   Value_Of(properties, System_Property, system_id), system);
}

bool MessageServerPortRule::Applies(const std::map<std::string, std::string>& properties, std::string& system)
{
    return Applies(Value_Of(properties, Port_Property), Value_Of(properties, Server_Property),
                   Value_Of(properties, System_Property), system);
}

bool MessageServerPortRule::Port_Of(const CQorMsgParser::Servers& servers, const std::string& system, std::string& port)
{
    const auto found = servers.find(system);
    if (found == servers.end())
        return false;
    port = std::to_string(found->second.port);
    return true;
}

CQorMsgParser::Servers MessageServerPortRule::Table(const std::string& qormsg_ini, const std::string& services_file)
{
    CQorMsgParser::Servers servers;
    bool ldap_found = false;
    SLDAP ldap;
    CQorMsgParser::Parse_Qormsg_Ini(qormsg_ini, servers, ldap_found, ldap);
    CQorMsgParser::Parse_Services(services_file, servers);
    return servers;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
