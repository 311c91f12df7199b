#include "ProfileFolders.h"

#include <windows.h>

#include <algorithm>

#include "Handles.h"

namespace Admin {

ProfileFolders::ProfileFolders(const std::string& root, const std::string& marker) : m_marker(marker)
{
    std::string folder = root;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    Find_Below(folder);
    std::sort(profiles.begin(), profiles.end());
}

// Folders in the order of their names, as the report lists them.
void ProfileFolders::Find_Below(const std::string& folder)
{
    std::vector<std::pair<std::string, DWORD>> folders;
    WIN32_FIND_DATAA found;
    const QOR::FrontEnd::Util::unique_hfind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found)) {
        const std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (lstrcmpiA(name.c_str(), m_marker.c_str()) == 0)
                profiles.push_back(folder);
        } else if (name != "." && name != "..")
            folders.emplace_back(name, found.dwFileAttributes);
    }
    std::sort(folders.begin(), folders.end());
    for (const auto& [name, attributes] : folders) {
        std::string path = folder;
        path.append("\\").append(name);
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            passedOver.push_back({path, "a link to another folder (junction or symbolic link)"});
        else
            Find_Below(path);
    }
}

} // namespace Admin
