// The report writer, in this process: what a run's report holds and how, and
// the check before any work that it can be written. Every report written here
// is kept for report_schema, which checks it against docs/report.schema.json.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ProductVersion.h"
#include "Report.h"
#include "TestSupport.h"

using ::testing::HasSubstr;
using TestSupport::Read_File;

namespace {

Admin::Report Sample_Report()
{
    Admin::Report report;
    Admin::ProfileRecord migrated("C:\\profiles\\b\xFCro", Admin::Outcome::Migrated);
    migrated.seconds = 1.25;
    migrated.folders = 3;
    migrated.entries = 7;
    Admin::ProfileRecord failed("C:\\profiles\\carol", Admin::Outcome::Failed);
    failed.problems.push_back({"C-TOP", "Sandbox \"new\"", "missing: not in the landscape"});
    failed.trace = "C:\\traces\\landscape_migration_0100_0104.trc";
    report.Add(failed);
    report.Add(migrated);
    report.Add(Admin::ProfileRecord("C:\\profiles\\dave", Admin::Outcome::Already_Migrated));
    report.Pass_Over("C:\\profiles\\link", "a link to another folder (junction or symbolic link)");
    report.Sort_By_Profile();
    report.Finish();
    return report;
}

} // namespace

// Each row: a field of the sample's JSON, in the form docs/report.schema.json gives it.
// The form of the times (started, ended) report_schema checks on the kept sample.
TEST(Report, EachFieldIsWrittenInItsForm)
{
    const std::string json = Sample_Report().Json();
    // Kept for report_schema, when the suite asks for it.
    if (const char* kept = std::getenv("REPORTS_TO_CHECK"))
        TestSupport::Write_File(std::string(kept) + "\\Report.Sample.json", json);
    const std::string version = std::string("\"tool_version\": \"") + LANDSCAPE_MIGRATION_VERSION + "\"";
    for (const std::string piece :
         {"\"schema_version\": 2,", version.c_str(), "\"command_line\": \"", "\"result\": \"already_migrated\"",
          "\"already_migrated\": 1, \"nothing_to_migrate\": 0", "\"profile\": \"C:\\\\profiles\\\\b\xC3\xBCro\"",
          "\"name\": \"Sandbox \\\"new\\\"\"", "\"seconds\": 1.250,", "\"passed_over\": 1}"})
        EXPECT_THAT(json, HasSubstr(piece));
}

TEST(Report, ProfilesComeInTheOrderOfTheirFolders)
{
    const std::string json = Sample_Report().Json();
    const size_t b = json.find("b\xC3\xBCro"), carol = json.find("carol"), dave = json.find("dave");
    EXPECT_LT(b, carol) << json;
    EXPECT_LT(carol, dave) << json;
}

TEST(Report, AReportThatCannotBeWrittenIsFoundBeforeAnyWork)
{
    TestSupport::ScratchDirectory folder;
    std::string reason;
    EXPECT_TRUE(Admin::Report::Writable(folder / "new.json", reason)) << reason;
    EXPECT_FALSE(TestSupport::Path_Exists(folder / "new.json")) << "the probe leaves nothing";
    TestSupport::Write_File(folder / "old.json", "kept");
    EXPECT_TRUE(Admin::Report::Writable(folder / "old.json", reason)) << reason;
    EXPECT_EQ("kept", Read_File(folder / "old.json"));
    EXPECT_FALSE(Admin::Report::Writable(folder.Path(), reason));
    EXPECT_EQ("it is a folder", reason);
}
