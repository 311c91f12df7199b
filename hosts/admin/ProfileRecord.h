#pragma once
// What a run did to one profile: its outcome, the line of the report. A worker
// process hands it to the batch as text lines (To_Text, From_Text), the last of
// which is End_Line.
#include <string>
#include <utility>
#include <vector>

namespace Admin {

class Verification;

enum class Outcome
{
    Migrated,           // migrated now (or, verified: the landscape holds the old file's tree)
    Already_Migrated,   // a migration had been made before; nothing was done
    Nothing_To_Migrate, // the old file holds no folder and no entry
    Not_Migrated,       // verified: there is no landscape yet
    Failed
};

// Every outcome, in the order of the report's totals.
constexpr Outcome All_Outcomes[] = {Outcome::Migrated, Outcome::Already_Migrated, Outcome::Nothing_To_Migrate,
                                    Outcome::Not_Migrated, Outcome::Failed};

// "already migrated", as the console shows it.
const char* Words(Outcome outcome);
// "already_migrated", as the report and a worker's record name it.
const char* Key(Outcome outcome);
// False for a text that is no outcome's key.
bool From_Key(const std::string& key, Outcome& outcome);
// The outcomes that make a run fail.
inline bool Is_Failure(Outcome outcome) { return outcome == Outcome::Failed || outcome == Outcome::Not_Migrated; }

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
    double seconds = 0; // how long the profile took
    std::string trace;  // the run's trace file; empty when there is none
    int folders = 0;    // folders of the old file to migrate (not left out)
    int entries = 0;    // entries to migrate (neither skipped nor left out)
    int skipped = 0;
    int leftOut = 0; // folders and entries inside folders that came from the server
    std::vector<Problem> problems;

    // A problem of the run as a whole.
    void Fail(const std::string& reason);
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
