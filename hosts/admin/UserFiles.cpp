#include "UserFiles.h"

#include <windows.h>

#include "QorUtil.h"

namespace Admin { namespace UserFiles {

std::string Old_File()
{
    char path[MAX_PATH] = {};
    int source = 0;
    GetQorLogonUserIniFileToLoad(path, MAX_PATH, source);
    return path;
}

std::string Landscape()
{
    char path[MAX_PATH] = {};
    int source = 0;
    GetQorLogonUserLandscapeFileToLoad(path, MAX_PATH, source);
    return path;
}

std::string Shared_Landscape()
{
    char path[MAX_PATH] = {};
    int source = 0;
    GetQorLogonLocalSharedLandscapeFileToLoad(path, MAX_PATH, source);
    return path;
}

std::string Folder_Of(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

}} // namespace Admin::UserFiles
