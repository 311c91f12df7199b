#include "MessageServerPorts.h"

#include <windows.h>

#include <cstdlib>

#include "SystemText.h"

namespace Admin {

namespace {

std::string Windows_Folder()
{
    std::string folder;
    QOR::FrontEnd::Util::SystemText::Environment_Variable("windir", folder);
    return folder;
}

} // namespace

MessageServerPorts::MessageServerPorts()
{
    const std::string windows = Windows_Folder();
    bool ldapFound = false;
    SLDAP ldap;
    CQorMsgParser::Parse_Qormsg_Ini(windows + "\\qormsg.ini", m_servers, ldapFound, ldap);
    CQorMsgParser::Parse_Services(windows + "\\System32\\drivers\\etc\\services", m_servers);
}

std::map<std::string, std::string> MessageServerPorts::Filled_In(std::map<std::string, std::string> properties) const
{
    const auto port = properties.find("MsgServerPort");
    const auto system = properties.find("SystemID");
    if (port == properties.end() || !properties.count("MsgServerName") || std::atoi(port->second.c_str()) != 0 ||
        system == properties.end())
        return properties;
    const auto server = m_servers.find(system->second);
    if (server != m_servers.end())
        port->second = std::to_string(server->second.port);
    return properties;
}

} // namespace Admin
