#pragma once
// The message-server ports the migration fills into connections that name a
// message server but no usable port: from qormsg.ini and the services file
// below %windir%, as the migration reads them on this machine.
#include <map>
#include <string>

#include "CQorMsgParser.h"

namespace Admin {

class MessageServerPorts
{
public:
    MessageServerPorts();
    // What the migration makes of an entry's properties.
    std::map<std::string, std::string> Filled_In(std::map<std::string, std::string> properties) const;

private:
    CQorMsgParser::Servers m_servers;
};

} // namespace Admin
