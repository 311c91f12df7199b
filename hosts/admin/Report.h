#pragma once
// The JSON report of a run: one object per profile and the totals over all of
// them (docs/administrators.md).
#include <string>
#include <vector>

#include "ProfileRecord.h"

namespace Admin {

class Report
{
public:
    void Add(const ProfileRecord& record) { m_records.push_back(record); }
    void Sort_By_Profile();
    const std::vector<ProfileRecord>& Records() const { return m_records; }
    int Count(Outcome result) const;
    std::string Json() const;
    // False when the file cannot be written.
    bool Write(const std::string& path) const;

private:
    std::vector<ProfileRecord> m_records;
};

} // namespace Admin
