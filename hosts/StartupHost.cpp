// Does what the client's logon pad does at start-up: runs the migration check,
// reads the recorded state, opens the two connection-data libraries as the pad
// would and folds their results into its status line. Then it shows the
// connection tree the user will see.
//
//   logon_startup.exe [/LSXML=<landscape file>]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CdmLibraryFile.h"
#include "LandscapeMigration.h"
#include "MsXml.h"

namespace {

using QOR::FrontEnd::Landscape::Migration::CdmFunctionTable;
using QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;

// One connection-data library, opened for the current user's default file.
struct Library
{
    const CdmLibraryFile file;
    const CdmFunctionTable& function = file.Functions();
    CDM_INITIALIZATION_STATE record{0, CString()};

    explicit Library(CdmLibraryFile::Which which) : file(which)
    {
        if (!file.Usable()) {
            record = {-1, CString(CdmLibraryFile::File_Name(which)) + " cannot be loaded"};
            return;
        }
        int state = 0, error = 0;
        record.state = function.Init("", &state, &error, &record.description, 0, "");
    }
    ~Library()
    {
        if (file.Usable())
            function.Exit();
    }
};

void Show_Folder(const Library& landscape, const CString& key, int depth)
{
    const auto subFolders = landscape.function.GetSubFolderKeys;
    const auto entries = landscape.function.GetEntryKeys;
    const auto attributes = landscape.function.GetFolderAttributes;
    const auto entryAttribute = landscape.function.GetEntryAttribute;
    CStringArray keys;
    entries(key, &keys, FALSE, TREE_ITEM_TYPE_ANY_ENTRY);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name, type;
        entryAttribute(keys[i], ITEM_ATTR_ENTRY_NAME, name);
        entryAttribute(keys[i], ITEM_ATTR_ENTRY_TYPE, type);
        const char* kind = type == "400" ? "link" : type == "401" ? "shortcut" : "connection";
        std::printf("%*s- %s (%s)\n", depth * 2, "", name.GetString(), kind);
    }
    subFolders(key, &keys, FALSE, key.IsEmpty() ? TREE_ITEM_TYPE_WORKSPACE : TREE_ITEM_TYPE_FOLDER);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name, memo, parent;
        int type = TREE_ITEM_TYPE_FOLDER;
        BOOL expanded = FALSE;
        attributes(keys[i], name, type, expanded, memo, parent);
        std::printf("%*s+ %s/\n", depth * 2, "", name.GetString());
        Show_Folder(landscape, keys[i], depth + 1);
    }
}

} // namespace

int main()
{
    std::printf("Recorded migration state before: %d\n", Get_Migration_State());
    bool migrated = false;
    try {
        migrated = Execute_Landscape_Migration_Check();
    } catch (const _com_error& error) {
        std::printf("The migration stopped on an XML error: 0x%08lX %s\n", static_cast<unsigned long>(error.Error()),
                    error.ErrorMessage());
        return 3;
    }
    std::printf("Execute_Landscape_Migration_Check: %s\n", migrated ? "a migration step ran" : "nothing was done");
    std::printf("Recorded migration state after:  %d\n", Get_Migration_State());

    int hostState = 0;
    CString hostDescription("Ready");
    {
        const Library source(CdmLibraryFile::Old_Logon_Manager);
        const Library landscape(CdmLibraryFile::Service_Landscape);
        Update_Migration_Status(source.record, landscape.record, std::vector<int>{0}, &hostState, &hostDescription);
        std::printf("Logon pad status: %d '%s'\n", hostState, hostDescription.GetString());
        if (landscape.record.state == 0) {
            std::printf("Connections in the landscape:\n");
            Show_Folder(landscape, CString(), 1);
        }
    }
    return 0;
}
