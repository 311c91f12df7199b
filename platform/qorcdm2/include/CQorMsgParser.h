#pragma once
// Reads the message servers and directory settings of qormsg.ini and their ports
// from a Windows services file. Formats: docs/message-servers.md.
#include <map>
#include <string>

#include "Qorcdm2Api.h"
#include "SLDAP.h"
#include "SMessageServer.h"

class QORCDM2_API CQorMsgParser
{
public:
    using Servers = std::map<std::string, SMessageServer>;

    // Adds every server of [Message Servers] (with its [Descriptions] text) to
    // `servers`, and fills `ldap` from [LDAP]; `ldap_found` tells whether that
    // section named anything. False when the file cannot be read.
    static bool Parse_Qormsg_Ini(const std::string& path, Servers& servers, bool& ldap_found, SLDAP& ldap);

    // Sets the port of every server of `servers` that the services file lists as
    // "qorms<system ID>" (name or alias) with a tcp port. False when the file
    // cannot be read.
    static bool Parse_Services(const std::string& path, Servers& servers);
};
