#include "UserFiles.h"

#include <windows.h>

#include "QorUtil.h"

namespace Admin { namespace UserFiles {

namespace {

// The current user's file as the client looks it up (the source of the answer
// does not matter here).
std::string Looked_Up(BOOL (*look_up)(char*, int, int&))
{
    char path[MAX_PATH] = {};
    int source = 0;
    look_up(path, MAX_PATH, source);
    return path;
}

} // namespace

std::string Old_File() { return Looked_Up(GetQorLogonUserIniFileToLoad); }
std::string Landscape() { return Looked_Up(GetQorLogonUserLandscapeFileToLoad); }
std::string Shared_Landscape() { return Looked_Up(GetQorLogonLocalSharedLandscapeFileToLoad); }

std::string Folder_Of(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

}} // namespace Admin::UserFiles
