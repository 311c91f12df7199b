#include "CQorMsgParser.h"

#include <cstdlib>
#include <cstring> // and the CRT's _stricmp, _strnicmp
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool Same(const std::string& text, const char* word) { return _stricmp(text.c_str(), word) == 0; }

bool Read_Lines(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return true;
}

void Read_Ldap_Value(const std::string& name, const std::string& value, SLDAP& ldap, bool& found)
{
    std::string* field = Same(name, "Mode")      ? &ldap.mode
                         : Same(name, "Server")  ? &ldap.server
                         : Same(name, "Node")    ? &ldap.node
                         : Same(name, "Options") ? &ldap.options
                                                 : nullptr;
    if (field) {
        *field = value;
        found = true;
    }
}

// "3600/tcp" gives 3600; anything else 0.
unsigned int Tcp_Port(const std::string& text)
{
    const size_t slash = text.find('/');
    if (slash == std::string::npos || !Same(text.substr(slash + 1), "tcp"))
        return 0;
    char* end = nullptr;
    const unsigned long port = std::strtoul(text.c_str(), &end, 10);
    return end == text.c_str() + slash && port > 0 && port < 65536 ? static_cast<unsigned int>(port) : 0;
}

} // namespace

bool CQorMsgParser::Parse_Qormsg_Ini(const std::string& path, Servers& servers, bool& ldap_found, SLDAP& ldap)
{
    std::vector<std::string> lines;
    if (!Read_Lines(path, lines))
        return false;
    std::string section;
    for (const std::string& raw : lines) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[' && line.back() == ']') {
            section = Trim(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        const std::string name = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        if (Same(section, "Message Servers")) {
            SMessageServer& server = servers[name];
            server.name = name;
            server.host = value;
        } else if (Same(section, "Descriptions")) {
            const auto server = servers.find(name);
            if (server != servers.end())
                server->second.description = value;
        } else if (Same(section, "LDAP")) {
            Read_Ldap_Value(name, value, ldap, ldap_found);
        }
    }
    return true;
}

bool CQorMsgParser::Parse_Services(const std::string& path, Servers& servers)
{
    std::vector<std::string> lines;
    if (!Read_Lines(path, lines))
        return false;
    for (const std::string& raw : lines) {
        std::istringstream words(raw.substr(0, raw.find('#')));
        std::string name, port, alias;
        if (!(words >> name >> port))
            continue;
        const unsigned int number = Tcp_Port(port);
        std::vector<std::string> names{name};
        while (words >> alias)
            names.push_back(alias);
        for (const std::string& candidate : names) {
            if (number == 0 || candidate.size() <= 5 || _strnicmp(candidate.c_str(), "qorms", 5) != 0)
                continue;
            const auto server = servers.find(candidate.substr(5));
            if (server != servers.end() && server->second.port == 0)
                server->second.port = number; // the first tcp line of a system counts
        }
    }
    return true;
}
