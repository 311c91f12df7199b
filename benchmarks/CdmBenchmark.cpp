// Times the two connection-data libraries on generated profiles: reading a whole
// qorlogon.ini through qorcdm.dll and writing the same tree through qorcdm2.dll,
// as the migration drives them. Prints one line per profile size.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "CLogonManagerLibrary.h"
#include "Tracing.h"

using QOR::FrontEnd::Landscape::Migration::CLogonManagerLibrary;

namespace {

struct Profile
{
    int folders;
    int entries;
};

// Folder i hangs below folder (i - 1) / 10; entries are spread over all folders.
void Write_Profile(const std::string& path, const Profile& profile)
{
    std::ofstream out(path, std::ios::binary);
    out << "[Parameters]\nSystemStatusURL=https://status.example.com\n";
    for (int i = 0; i < profile.folders; ++i) {
        out << "[Folder F" << i << "]\nName=Folder " << i << "\nExpanded=1\n";
        if (i > 0)
            out << "Parent=F" << (i - 1) / 10 << "\n";
    }
    for (int i = 0; i < profile.entries; ++i)
        out << "[Connection C" << i << "]\nName=Connection " << i << "\nFolder=F" << i % profile.folders
            << "\nSystemID=S" << i % 1000 << "\nClient=100\nMsgServerName=ms" << i % 1000 << ".example.com\n";
}

double Seconds_Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Tree
{
    std::vector<std::pair<CString, CString>> folders; // key, parent
    std::vector<std::pair<CString, CString>> entries; // key, folder
    std::map<CString, CString> names;
};

Tree Read_All(CLogonManagerLibrary& source)
{
    Tree tree;
    CStringArray keys;
    source.GetSubFolderKeys("", &keys, TRUE, TREE_ITEM_TYPE_FOLDER);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name, memo, parent;
        int type = TREE_ITEM_TYPE_FOLDER;
        BOOL expanded = FALSE;
        source.GetFolderAttributes(keys[i], name, type, expanded, memo, parent);
        tree.folders.emplace_back(keys[i], parent);
        tree.names[keys[i]] = name;
    }
    source.GetEntryKeys("", &keys, TREE_ITEM_TYPE_CONNECTION);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name, parent;
        CMapStringToString properties;
        source.GetEntryAttribute(keys[i], ITEM_ATTR_ENTRY_NAME, name);
        source.GetEntryData(keys[i], &properties);
        source.GetParentFolderKey(keys[i], parent);
        tree.entries.emplace_back(keys[i], parent);
        tree.names[keys[i]] = name;
    }
    return tree;
}

void Write_All(CLogonManagerLibrary& destination, const Tree& tree)
{
    CString local;
    destination.Get_Main_Folder(local);
    std::map<CString, CString> mapped{{CString(), local}};
    for (const auto& folder : tree.folders) {
        CString key;
        destination.AddFolder(mapped[folder.second], tree.names.at(folder.first), TRUE, "", key, "");
        mapped[folder.first] = key;
    }
    CMapStringToString properties;
    properties.SetAt("SystemID", "S1");
    properties.SetAt("Client", "100");
    for (const auto& entry : tree.entries) {
        CString key = entry.first;
        destination.AddEntryToFolder(tree.names.at(entry.first), TREE_ITEM_TYPE_CONNECTION, mapped[entry.second],
                                     key, "", &properties);
    }
}

void Run(const Profile& profile, const std::string& folder)
{
    const std::string ini = folder + "\\qorlogon.ini";
    const std::string landscape = folder + "\\QORUILandscape.xml";
    DeleteFileA(landscape.c_str());
    Write_Profile(ini, profile);
    SetEnvironmentVariableA("QORLOGON_INI", ini.c_str());
    SetEnvironmentVariableA("QORLOGON_LSXML", landscape.c_str());

    auto start = std::chrono::steady_clock::now();
    Tree tree;
    {
        CLogonManagerLibrary source(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, ini, "", true);
        tree = Read_All(source);
    }
    const double read = Seconds_Since(start);
    start = std::chrono::steady_clock::now();
    {
        CLogonManagerLibrary destination(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, landscape, "", false);
        Write_All(destination, tree);
    }
    const double write = Seconds_Since(start);
    std::printf("%6d entries in %5d folders: read through qorcdm.dll %7.3f s, write through qorcdm2.dll %7.3f s "
                "(%zu folders, %zu entries)\n",
                profile.entries, profile.folders, read, write, tree.folders.size(), tree.entries.size());
}

} // namespace

int main(int argc, char** argv)
{
    QOR::FrontEnd::Landscape::Migration::Get_Trace(0);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = argc > 1 ? argv[1] : std::string(temp) + "qor_cdm_benchmark";
    CreateDirectoryA(folder.c_str(), nullptr);
    Run({200, 2000}, folder);
    Run({2000, 20000}, folder);
    return 0;
}
