#pragma once
#include <string>

// The directory settings of qormsg.ini.
struct SLDAP
{
    std::string uuid;
    std::string mode;
    std::string server;
    std::string node;
    std::string options;
};
