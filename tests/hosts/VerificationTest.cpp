// The verification's matching, in this process, on trees made by hand: the old
// file's tree below its top-level folder against the landscape's below the main
// workspace "Local".
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "Verification.h"

namespace {

using Admin::ConnectionTree;
using Admin::Verification;
using Verdict = Verification::Verdict;

ConnectionTree::Folder Folder(const char* key, const char* name, const char* parent, bool workspace = false)
{
    return {key, name, parent, "", false, false, workspace};
}

// A connection of the system PRD, or with a target a link to that entry.
ConnectionTree::Entry Entry(const char* key, const char* name, const char* parent, const char* target = "")
{
    if (*target)
        return {key, name, parent, target, 400, false, {}};
    return {key, name, parent, "", 402, false, {{"SystemID", "PRD"}}};
}

// The old file: F-TOP (the top) > F-ERP > C-PRD, C-QAS, and the link L-PRD to
// C-PRD; the landscape: Local > ERP > C-PRD, C-QAS, without the link.
struct Trees
{
    Trees()
    {
        old.Add(Folder("F-TOP", "Top", ""));
        old.Add(Folder("F-ERP", "ERP", "F-TOP"));
        old.Add(Entry("C-PRD", "Production", "F-ERP"));
        old.Add(Entry("C-QAS", "Quality", "F-ERP"));
        old.Add(Entry("L-PRD", "PRD", "F-TOP", "C-PRD"));
        landscape.Add(Folder("W-LOCAL", "local", "", true));
        landscape.Add(Folder("N-ERP", "ERP", "W-LOCAL"));
        landscape.Add(Entry("C-PRD", "Production", "N-ERP"));
        landscape.Add(Entry("C-QAS", "Quality", "N-ERP"));
    }
    ConnectionTree old, landscape;
    const Admin::MessageServerPorts ports;
};

} // namespace

TEST(Verification, WhatIsInItsPlaceIsMigrated)
{
    Trees trees;
    trees.landscape.Add(Entry("N-1", "PRD", "W-LOCAL", "C-PRD"));
    const Verification verification(trees.old, trees.landscape, trees.ports);
    EXPECT_TRUE(verification.Passed());
    // The top folder standing for Local: admin_tests' verification of the sample.
    EXPECT_EQ(3, verification.Count(false, Verdict::Migrated)) << "the link found by its name and target";
}

// Each row: a landscape that lacks or changes what the old file holds, and the
// finding on the key that differs.
TEST(Verification, WhatDoesNotMatchIsNamedWithItsReason)
{
    Trees trees;
    ConnectionTree moved, empty;
    for (const ConnectionTree::Folder& folder : trees.landscape.Folders())
        moved.Add(folder);
    moved.Add(Folder("N-OTHER", "Other", "W-LOCAL"));
    moved.Add(Entry("C-PRD", "Production", "N-OTHER"));
    moved.Add(
        ConnectionTree::Entry{"C-QAS", "Quality", "N-ERP", "", 402, false, {{"SystemID", "PRD"}, {"Language", "EN"}}});
    const std::tuple<const ConnectionTree&, std::string, std::string, std::string> cases[] = {
        {trees.landscape, "L-PRD", "missing", "not in the landscape"},
        {moved, "C-PRD", "different", "in 'Other' instead of 'ERP'"},
        {moved, "C-QAS", "different", "property Language: none in the old file, 'EN' in the landscape"},
        {empty, "F-TOP", "missing", "the landscape has no main folder 'Local'"},
    };
    for (const auto& [landscape, key, verdict, reason] : cases) {
        const Verification verification(trees.old, landscape, trees.ports);
        EXPECT_FALSE(verification.Passed()) << key;
        auto finding = verification.Findings().begin();
        while (finding != verification.Findings().end() && finding->key != key)
            ++finding;
        ASSERT_TRUE(finding != verification.Findings().end()) << "no finding on " << key;
        EXPECT_EQ(verdict, Verification::Name(finding->verdict)) << key;
        EXPECT_EQ(reason, finding->reason) << key;
    }
}
