#pragma once
// The JSON report of a run (docs/report.schema.json, docs/administrators.md):
// what ran and when, one object per profile, the folders passed over, and the
// totals. Its schema has a version of its own, which changes with its format.
#include <string>
#include <vector>

#include "ProfileRecord.h"

namespace Admin {

class Report
{
public:
    static constexpr int Schema_Version = 2;

    struct PassedOver
    {
        std::string folder, reason;
    };

    // The run starts now, with this program's command line.
    Report();

    void Add(const ProfileRecord& record) { m_records.push_back(record); }
    void Pass_Over(const std::string& folder, const std::string& reason) { m_passedOver.push_back({folder, reason}); }
    void Sort_By_Profile();
    // The run ends now.
    void Finish();

    const std::vector<ProfileRecord>& Records() const { return m_records; }
    const std::vector<PassedOver>& Passed_Over() const { return m_passedOver; }
    int Count(Outcome result) const;
    int Failures() const;
    std::string Json() const;

    // Before any work: false, with the reason, when a report cannot be
    // written at `path` (its folder is missing or read-only, it is a folder).
    // An existing file is left as it is.
    static bool Writable(const std::string& path, std::string& reason);
    // False, with the reason, when the file cannot be written.
    bool Write(const std::string& path, std::string& reason) const;

private:
    std::string m_commandLine;
    std::string m_started, m_ended; // ISO 8601, UTC
    std::vector<ProfileRecord> m_records;
    std::vector<PassedOver> m_passedOver;
};

} // namespace Admin
