#pragma once
// Verifies profiles: reads a profile's old connection file and its landscape
// through the client's connection-data libraries (loaded once, from the
// migration library's folder) and accounts for every folder and entry
// (Verification). Damage is named as such: an old file that cannot be read or
// is not text, a landscape that is missing, a folder, or not well-formed.
#include <functional>
#include <string>

#include "CdmLibraryFile.h"
#include "ConnectionTree.h"
#include "MessageServerPorts.h"
#include "ProfileRecord.h"

namespace Admin {

class Verification;

class ProfileVerifier
{
public:
    using ConnectionTree = QOR::FrontEnd::Landscape::Migration::ConnectionTree;
    // Shows a verification that could be made (the command-line table).
    using Show = std::function<void(const Verification&)>;

    ProfileVerifier();

    // The old file's tree; false, with the problem in the record, when it
    // cannot be had.
    bool Read_Old(const std::string& ini, ConnectionTree& tree, ProfileRecord& record) const;
    // The landscape against the old file's tree: counts and problems into the
    // record, and its result (migrated, not migrated, failed).
    void Verify(const ConnectionTree& old, const std::string& landscape, ProfileRecord& record,
                const Show& show = nullptr) const;
    // Both for the files of one profile; nothing to migrate when the old file
    // holds nothing.
    ProfileRecord Verify_Profile(const std::string& ini, const std::string& landscape,
                                 const Show& show = nullptr) const;

private:
    using Library = QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;

    const Library m_old{Library::V01_OLD_LOGON_MANAGER};
    const Library m_landscape{Library::V02_SERVICE_LANDSCAPE};
    const MessageServerPorts m_ports;
};

} // namespace Admin
