#pragma once
// The message-server ports the migration fills into connections that name a
// message server but no usable port, by the migration's own rule, from this
// machine's qormsg.ini and services file (read once).
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
