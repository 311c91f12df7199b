#pragma once
#include <string>

// One message server of qormsg.ini, keyed by its system ID.
struct SMessageServer
{
    std::string uuid;
    std::string name; // the system ID
    std::string host;
    std::string description;
    unsigned int port = 0; // 0: no port known
};
