#pragma once
// What one run did to one profile: the line of the report. A worker process
// hands it to the batch as text lines (To_Text, From_Text), the last of which
// is End_Line.
#include <string>
#include <utility>
#include <vector>

#include "Outcome.h"

namespace Admin {

class Verification;

struct ProfileRecord
{
    struct Problem
    {
        std::string key, name, reason;
    };

    ProfileRecord() = default;
    explicit ProfileRecord(std::string folder, Outcome outcome = Outcome::Failed)
        : profile(std::move(folder)), result(outcome)
    {
    }

    std::string profile; // the folder of the old connection file
    Outcome result = Outcome::Failed;
    std::string trace; // the run's trace file; empty when there is none
    int folders = 0;   // folders of the old file to migrate (not left out)
    int entries = 0;   // entries to migrate (neither skipped nor left out)
    int skipped = 0;
    int leftOut = 0; // folders and entries inside folders that came from the server
    std::vector<Problem> problems;

    // Counts as a verification found them; its problems are added to those known.
    void Account(const Verification& verification);
    std::string To_Text() const;
    // False when the text holds no whole record (a worker that died early).
    static bool From_Text(const std::string& text, ProfileRecord& record);
    // The profile of the old connection file `file`: the folder that holds it.
    static std::string Folder_Of(const std::string& file);
    // The last line of a record's text.
    static const char* const End_Line;
};

} // namespace Admin
