#pragma once
// Migrates profile folders offline, one after another in this process (a
// batch's worker): each qorlogon.ini into a QORUILandscape.xml beside it, with
// the step and the files that the user's first start would take on this
// machine (as the migration's checker decides them for a user with nothing
// recorded), through the same engine; then verifies what was written against
// the old file read before. Nothing is recorded in the registry.
//
// The libraries stay loaded and COM initialised for the life of the object;
// what a profile's migration changes in the process - environment, current
// directory, the current user's registry - is put back before the next.
#include <string>

#include "ComApartment.h"
#include "ProfileRecord.h"
#include "ProfileSandbox.h"
#include "ProfileVerifier.h"

namespace Admin {

class ProfileMigration
{
public:
    ProfileMigration();
    ProfileMigration(const ProfileMigration&) = delete;
    ProfileMigration& operator=(const ProfileMigration&) = delete;

    ProfileRecord Run(const std::string& folder);

private:
    void Migrate_And_Verify(const std::string& folder, ProfileRecord& record);
    bool Migrate(const std::string& folder, ProfileRecord& record);

    ProfileVerifier m_verifier;
    // This process's trace file, which all the profiles' lines go to; before
    // the sandbox, which hides a trace directory set in the user's registry.
    const std::string m_trace;
    QOR::FrontEnd::Util::ComApartment m_com;
    ProfileSandbox m_sandbox; // the environment (trace folder handed on) and directory to go back to
};

} // namespace Admin
