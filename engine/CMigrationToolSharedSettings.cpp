// CMigrationTool, what users share: message servers and routers into the shared
// landscape, a user landscape that exists and includes the shared one, the
// options files, and the message-server repair.
#include "CMigrationTool.h"

#include <shlwapi.h>

#include "CLandscapeXmlDocument.h"
#include "CQorMsgMigrator.h"
#include "CQorMsgRepair.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "FileSystem.h"
#include "MigrationState.h"
#include "QorUtil.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

bool CMigrationTool::Migrate_Shared_Settings()
{
    QOR_TRACE_SCOPE(this);
    bool result = Migrate_Message_Servers();
    trace_scope.Data("Result after Migrate_Message_Servers: %d\n", result);
    result = result && Migrate_Routers();
    trace_scope.Data("Result after Migrate_Routers: %d\n", result);
    return trace_scope.Return(result);
}

bool CMigrationTool::Migrate_Message_Servers()
{
    QOR_TRACE_SCOPE(this);
    return trace_scope.Return(m_msg_migrator ? m_msg_migrator->Do_Migration() : false);
}

bool CMigrationTool::Migrate_Routers()
{
    QOR_TRACE_SCOPE(this);
    CQorRouteMigrator routers(&m_configuration);
    return trace_scope.Return(routers.Do_Migration());
}

bool CMigrationTool::Migrate_TEDU_Options(bool migrate_shared_data)
{
    QOR_TRACE_SCOPE(this, "migrate_shared_data=%d", migrate_shared_data);
    CTEDUOptionsMigrator options(&m_configuration, migrate_shared_data);
    return trace_scope.Return(options.Do_Migration());
}

bool CMigrationTool::Touch_User_Landscape()
{
    QOR_TRACE_SCOPE(this);
    if (m_configuration.Is_Simulation())
        return trace_scope.Return(true);
    const std::string path = m_configuration.Get_User_Landscape_XML_Path();
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(path)) {
        trace_scope.Data("Need to touch non-existing user landscape '%s'\n", path);
        Qorcdm2::CLandscapeXmlDocument landscape(true, std::shared_ptr<Qorcdm2::IFileCache>());
        const bool saved = landscape.Save_To_File(CString(path.c_str()));
        if (!saved)
            trace_scope.Error("Could not create landscape file '%s'.\n", path);
        return trace_scope.Return(saved);
    }
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY)
        return trace_scope.Return(trace_scope.Failed("The landscape file '%s' is read only.\n", path));
    return trace_scope.Return(true);
}

bool CMigrationTool::Add_Shared_Include()
{
    QOR_TRACE_SCOPE(this);
    if (m_configuration.Is_Simulation())
        return trace_scope.Return(true);
    const std::string shared = m_configuration.Get_Shared_Landscape_XML_Path();
    const std::string user = m_configuration.Get_User_Landscape_XML_Path();
    trace_scope.Data("Adding include '%s' to user landscape\n", shared);
    Qorcdm2::CLandscapeXmlDocument landscape(false, std::shared_ptr<Qorcdm2::IFileCache>());
    CString error;
    if (!landscape.Load_From_File(CString(user.c_str()), error, true))
        return trace_scope.Return(trace_scope.Failed("Cannot load user landscape '%s'\n", user));
    trace_scope.Data("Loaded user landscape '%s'\n", user);
    const DWORD state = Read_Migration_State();
    if (state == S3_MIGRATED_INTO_COMMAND_LINE_FILE || state == S4_MIGRATED_INTO_ENVIRONMENT_FILE) {
        // A file named by the host keeps an include that still leads somewhere.
        const CString include = landscape.GetIncludeIndex0Url();
        if (include.IsEmpty()) {
            const bool migrated = Migrate_Shared_Settings();
            trace_scope.DeveloperNote("Shared file '%s' migrated for registry settings (rc=%d)\n", shared, migrated);
        } else if (PathIsURLA(include)) {
            trace_scope.DeveloperNote("Include file '%s' with index 0 is on website\n", include);
            return trace_scope.Return(true);
        } else if (QOR::FrontEnd::Util::FileSystem::File_Exists(include.GetString())) {
            trace_scope.DeveloperNote("Include file '%s' with index 0 is existing\n", include);
            return trace_scope.Return(true);
        } else {
            const bool migrated = Migrate_Shared_Settings();
            trace_scope.DeveloperNote("Shared file '%s' migrated for Include with index 0 (rc=%d)\n", shared, migrated);
        }
    }
    landscape.Set_Server_Include_URL(CString(shared.c_str()));
    if (!landscape.Save_To_File(CString(user.c_str())))
        return trace_scope.Return(trace_scope.Failed("Cannot save user landscape '%s'\n", user));
    return trace_scope.Return(true);
}

bool CMigrationTool::Repair_Missing_Message_Servers()
{
    QOR_TRACE_SCOPE(this);
    char server[MAX_PATH] = {};
    if (!GetServerLandscapeFileName(0, server, MAX_PATH) && !GetCoreLandscapeFileName(0, server, MAX_PATH))
        return trace_scope.Return(true); // no server landscape: nothing to repair
    CQorMsgRepair repair(m_configuration.Get_Qormsg_INI_Path(), m_configuration.Get_Windows_Services_File(),
                         m_configuration.Get_User_Landscape_XML_Path(),
                         m_configuration.Get_Shared_Landscape_XML_Path());
    return trace_scope.Return(repair.Do_Migration());
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
