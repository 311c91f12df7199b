// The verification's matching, in this process, on trees made by hand: the old
// file's tree below its top-level folder against the landscape's below the main
// workspace "Local".
#include <gtest/gtest.h>

#include <string>

#include "Verification.h"

namespace {

using Admin::ConnectionTree;
using Admin::Verification;
using Outcome = Verification::Outcome;

ConnectionTree::Folder Folder(const char* key, const char* name, const char* parent, bool workspace = false)
{
    ConnectionTree::Folder folder;
    folder.key = key;
    folder.name = name;
    folder.parent = parent;
    folder.workspace = workspace;
    return folder;
}

ConnectionTree::Entry Entry(const char* key, const char* name, const char* parent, int type = 402)
{
    ConnectionTree::Entry entry;
    entry.key = key;
    entry.name = name;
    entry.parent = parent;
    entry.type = type;
    entry.properties = {{"SystemID", "PRD"}};
    return entry;
}

// The old file: F-TOP (the top) > F-ERP > C-PRD, C-QAS, and the link L-PRD to C-PRD.
struct Trees
{
    Trees()
    {
        old.Add(Folder("F-TOP", "Top", ""));
        old.Add(Folder("F-ERP", "ERP", "F-TOP"));
        old.Add(Entry("C-PRD", "Production", "F-ERP"));
        old.Add(Entry("C-QAS", "Quality", "F-ERP"));
        ConnectionTree::Entry link = Entry("L-PRD", "PRD", "F-TOP", 400);
        link.target = "C-PRD";
        link.properties.clear();
        old.Add(link);
        landscape.Add(Folder("W-LOCAL", "local", "", true));
        landscape.Add(Folder("N-ERP", "ERP", "W-LOCAL"));
        landscape.Add(Entry("C-PRD", "Production", "N-ERP"));
        landscape.Add(Entry("C-QAS", "Quality", "N-ERP"));
    }
    ConnectionTree old, landscape;
    const Admin::MessageServerPorts ports;
};

const Verification::Finding* Finding_Of(const Verification& verification, const std::string& key)
{
    for (const Verification::Finding& finding : verification.Findings())
        if (finding.key == key)
            return &finding;
    return nullptr;
}

} // namespace

TEST(Verification, EveryFolderAndEntryInItsPlaceIsMigrated)
{
    Trees trees;
    ConnectionTree::Entry link = Entry("N-1", "PRD", "W-LOCAL", 400);
    link.target = "C-PRD";
    link.properties.clear();
    trees.landscape.Add(link);
    const Verification verification(trees.old, trees.landscape, trees.ports);
    EXPECT_TRUE(verification.Passed());
    EXPECT_EQ(2, verification.Count(true, Outcome::Migrated)) << "the top folder stands for Local";
    EXPECT_EQ(3, verification.Count(false, Outcome::Migrated)) << "the link found by its name and target";
}

TEST(Verification, WhatIsNotInTheLandscapeIsMissingWithWhere)
{
    Trees trees;
    const Verification verification(trees.old, trees.landscape, trees.ports);
    EXPECT_FALSE(verification.Passed());
    const Verification::Finding* link = Finding_Of(verification, "L-PRD");
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(static_cast<int>(Outcome::Missing), static_cast<int>(link->outcome));
    EXPECT_EQ("not in the landscape", link->reason);
}

TEST(Verification, AnEntryInAnotherFolderOrWithOtherValuesIsDifferent)
{
    Trees trees;
    ConnectionTree moved;
    for (const ConnectionTree::Folder& folder : trees.landscape.Folders())
        moved.Add(folder);
    moved.Add(Folder("N-OTHER", "Other", "W-LOCAL"));
    moved.Add(Entry("C-PRD", "Production", "N-OTHER"));
    ConnectionTree::Entry changed = Entry("C-QAS", "Quality", "N-ERP");
    changed.properties["Language"] = "EN";
    moved.Add(changed);
    const Verification verification(trees.old, moved, trees.ports);
    const Verification::Finding* prd = Finding_Of(verification, "C-PRD");
    const Verification::Finding* qas = Finding_Of(verification, "C-QAS");
    ASSERT_NE(nullptr, prd);
    ASSERT_NE(nullptr, qas);
    EXPECT_EQ("in 'Other' instead of 'ERP'", prd->reason);
    EXPECT_EQ("property Language: none in the old file, 'EN' in the landscape", qas->reason);
}

TEST(Verification, SkippedEntriesAndWhatCameFromTheServerAreAccountedForApart)
{
    Trees trees;
    ConnectionTree old = trees.old;
    ConnectionTree::Folder server = Folder("F-SRV", "Server", "F-TOP");
    server.fromServer = true;
    old.Add(server);
    old.Add(Entry("C-SRV", "From the server", "F-SRV"));
    ConnectionTree::Entry skipped = Entry("C-SKIP", "Skipped", "F-ERP");
    skipped.skip = true;
    old.Add(skipped);
    const Verification verification(old, trees.landscape, trees.ports);
    EXPECT_EQ(1, verification.Count(false, Outcome::Skipped));
    EXPECT_EQ(1, verification.Count(true, Outcome::LeftOut));
    EXPECT_EQ(1, verification.Count(false, Outcome::LeftOut));
}

TEST(Verification, ALandscapeWithoutLocalHasNoPlaceForTheTopFolder)
{
    Trees trees;
    ConnectionTree empty;
    const Verification verification(trees.old, empty, trees.ports);
    const Verification::Finding* top = Finding_Of(verification, "F-TOP");
    ASSERT_NE(nullptr, top);
    EXPECT_EQ("the landscape has no main folder 'Local'", top->reason);
}
