#pragma once
// Migrates one profile folder offline, in this process: its qorlogon.ini into a
// QORUILandscape.xml beside it, with QORUILandscapeGlobal.xml as the shared
// landscape there, through the same engine as the client's first start (with
// the shared settings of this machine), without recording anything in the
// registry. Then verifies what it wrote.
#include <string>

#include "LandscapeMigration.h"
#include "ProfileRecord.h"

namespace Admin {

class ProfileMigration
{
public:
    explicit ProfileMigration(const std::string& folder);
    ProfileRecord Run();

    static const char* const Old_File;
    static const char* const User_Landscape;
    static const char* const Shared_Landscape;

private:
    bool Source_Is_Empty(ProfileRecord& record) const;
    QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig Configuration() const;
    bool Migrate(ProfileRecord& record) const;

    std::string m_folder;
    std::string m_ini;
    std::string m_landscape;
};

} // namespace Admin
