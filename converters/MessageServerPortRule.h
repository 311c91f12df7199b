#pragma once
#include <map>
#include <string>

#include "CMapStringToString.h"
#include "CQorMsgParser.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// A connection that names a message server and a system but no usable port (a
// port of 0, or no number) is given the port of its system from the message
// servers of qormsg.ini, with their ports from the services file. The entry
// migration fills ports in by it, and the front end's verification expects
// what it fills in.
class LANDSCAPE_MIGRATION_API MessageServerPortRule
{
public:
    static constexpr const char* Port_Property = "MsgServerPort";

    // True, with the connection's system, when the rule gives it a port.
    static bool Applies(const CMapStringToString& properties, std::string& system);
    static bool Applies(const std::map<std::string, std::string>& properties, std::string& system);
    // The port of `system`, as the property's text; false when the table lacks the system.
    static bool Port_Of(const CQorMsgParser::Servers& servers, const std::string& system, std::string& port);
    // The servers of the two files.
    static CQorMsgParser::Servers Table(const std::string& qormsg_ini, const std::string& services_file);

private:
    // Null for a property the connection does not have.
    static bool Applies(const char* port, const char* server, const char* system_id, std::string& system);
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
