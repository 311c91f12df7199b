#include "ProfileVerifier.h"

#include "CdmSession.h"
#include "InputFiles.h"
#include "Verification.h"

namespace Admin {

using QOR::FrontEnd::Landscape::Migration::CdmSession;

ProfileVerifier::ProfileVerifier() = default;

bool ProfileVerifier::Read_Old(const std::string& ini, ConnectionTree& tree, ProfileRecord& record) const
{
    const std::string damage = InputFiles::Old_File_Damage(ini);
    if (!damage.empty()) {
        record.Fail(damage);
        return false;
    }
    const CdmSession old(m_old, ini);
    if (!old.Is_Open()) {
        record.Fail("the old connection file cannot be read: " + old.Message());
        return false;
    }
    tree = old.Read();
    return true;
}

void ProfileVerifier::Verify(const ConnectionTree& old, const std::string& landscape, ProfileRecord& record,
                             const Show& show) const
{
    using Kind = InputFiles::LandscapeDamage::Kind;
    const InputFiles::LandscapeDamage presence = InputFiles::Landscape_Presence(landscape);
    if (presence.kind == Kind::Missing) {
        record.result = Outcome::Not_Migrated;
        record.problems.push_back({"", "", presence.text});
        return;
    }
    if (presence.kind != Kind::None) {
        record.Fail(presence.text);
        return;
    }
    const CdmSession session(m_landscape, landscape);
    if (!session.Is_Open()) {
        const InputFiles::LandscapeDamage damage = InputFiles::Landscape_Damage(landscape);
        record.Fail(damage.kind != Kind::None ? damage.text : "the landscape cannot be read: " + session.Message());
        return;
    }
    const Verification verification(old, session.Read(), m_ports);
    if (show)
        show(verification);
    record.Account(verification);
    record.result = verification.Passed() ? Outcome::Migrated : Outcome::Failed;
}

ProfileRecord ProfileVerifier::Verify_Profile(const std::string& ini, const std::string& landscape,
                                              const Show& show) const
{
    ProfileRecord record(ProfileRecord::Folder_Of(ini));
    ConnectionTree old;
    if (!Read_Old(ini, old, record))
        return record;
    if (old.Folders().empty() && old.Entries().empty()) {
        record.result = Outcome::Nothing_To_Migrate;
        return record;
    }
    Verify(old, landscape, record, show);
    return record;
}

} // namespace Admin
