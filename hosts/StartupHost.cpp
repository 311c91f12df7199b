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

#include "CdmSession.h"
#include "LandscapeMigration.h"
#include "MsXml.h"

namespace {

using QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;
using QOR::FrontEnd::Landscape::Migration::CdmSession;
using QOR::FrontEnd::Landscape::Migration::ConnectionTree;

// One connection-data library, opened for the current user's default file, and
// its result as the pad folds it into its status line.
struct Library
{
    const CdmLibraryFile file;
    const CdmSession session;
    const CDM_INITIALIZATION_STATE record;

    explicit Library(CdmLibraryFile::Which which)
        : file(which), session(file, ""), record{session.State(), CString(session.Message().c_str())}
    {
    }
};

const char* Kind(int type)
{
    return type == TREE_ITEM_TYPE_LINK ? "link" : type == TREE_ITEM_TYPE_QORSHORTCUT ? "shortcut" : "connection";
}

// The entries of a folder, then its folders, each with what it holds; the
// root's folders are the workspaces.
void Show_Folder(const ConnectionTree& tree, const std::string& key, int depth)
{
    for (const ConnectionTree::Entry& entry : tree.Entries())
        if (entry.parent == key)
            std::printf("%*s- %s (%s)\n", depth * 2, "", entry.name.c_str(), Kind(entry.type));
    for (const ConnectionTree::Folder& folder : tree.Folders())
        if (folder.workspace == key.empty() && folder.parent == key) {
            std::printf("%*s+ %s/\n", depth * 2, "", folder.name.c_str());
            Show_Folder(tree, folder.key, depth + 1);
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
        const Library source(CdmLibraryFile::V01_OLD_LOGON_MANAGER);
        const Library landscape(CdmLibraryFile::V02_SERVICE_LANDSCAPE);
        Update_Migration_Status(source.record, landscape.record, std::vector<int>{0}, &hostState, &hostDescription);
        std::printf("Logon pad status: %d '%s'\n", hostState, hostDescription.GetString());
        if (landscape.session.Is_Open()) {
            std::printf("Connections in the landscape:\n");
            Show_Folder(landscape.session.Read(), std::string(), 1);
        }
    }
    return 0;
}
