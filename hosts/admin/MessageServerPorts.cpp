#include "MessageServerPorts.h"

#include "DefaultPaths.h"
#include "MessageServerPortRule.h"

namespace Admin {

using QOR::FrontEnd::Landscape::Migration::MessageServerPortRule;
namespace DefaultPaths = QOR::FrontEnd::Landscape::Migration::DefaultPaths;

MessageServerPorts::MessageServerPorts()
    : m_servers(MessageServerPortRule::Table(DefaultPaths::Qormsg_Ini(), DefaultPaths::Services_File()))
{
}

std::map<std::string, std::string> MessageServerPorts::Filled_In(std::map<std::string, std::string> properties) const
{
    std::string system, port;
    if (MessageServerPortRule::Applies(properties, system) && MessageServerPortRule::Port_Of(m_servers, system, port))
        properties[MessageServerPortRule::Port_Property] = port;
    return properties;
}

} // namespace Admin
