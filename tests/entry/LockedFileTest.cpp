// Files that cannot be written, or not even read, during the start-up call: a
// landscape or the old connection file that is read-only or held open by
// another program without sharing. The step that needs the file fails, the call
// reports it, the file is as it was, byte for byte, the other files keep what
// they held, and no temporary file or backup is left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "Handles.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using ::testing::HasSubstr;
using ::testing::Not;
using TestSupport::Read_File;
using TestSupport::Write_File;

namespace {

enum class Hold
{
    Read_Only,
    Locked // open in another handle that shares nothing
};

struct LockedCase
{
    const char* name;
    const char* file; // below the client folder
    Hold hold;
    bool migrated; // what the call reports
};

const LockedCase Locked_Cases[] = {
    {"ReadOnlySharedLandscape", "QORUILandscapeGlobal.xml", Hold::Read_Only, false},
    {"LockedSharedLandscape", "QORUILandscapeGlobal.xml", Hold::Locked, false},
    {"ReadOnlyUserLandscape", "QORUILandscape.xml", Hold::Read_Only, false},
    {"LockedUserLandscape", "QORUILandscape.xml", Hold::Locked, false},
    {"LockedConnectionFile", "qorlogon.ini", Hold::Locked, false},
    {"ReadOnlyConnectionFile", "qorlogon.ini", Hold::Read_Only, true}, // it is only ever read
};

void PrintTo(const LockedCase& locked, std::ostream* out) { *out << locked.name; }

class LockedFile : public Startup, public ::testing::WithParamInterface<LockedCase>
{};

} // namespace

TEST_P(LockedFile, TheFileStaysAsItWas)
{
    const LockedCase& locked = GetParam();
    Write_File(global, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Messageservers><Messageserver "
                       "uuid=\"m-1\" name=\"OLD\" host=\"old.example.com\"/></Messageservers></Landscape>\n");
    if (locked.file == std::string("QORUILandscape.xml"))
        Write_File(user, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Workspaces><Workspace uuid=\"w\" "
                         "name=\"Mine\" expanded=\"1\"/></Workspaces></Landscape>\n");
    const std::string held = common + "\\" + locked.file, before = Read_File(held);
    QOR::FrontEnd::Util::unique_hfile lock;
    if (locked.hold == Hold::Locked)
        lock.reset(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    else
        ASSERT_TRUE(SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(locked.hold == Hold::Read_Only || lock) << "cannot lock " << held;

    EXPECT_EQ(locked.migrated, Start());

    lock.reset();
    SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, Read_File(held)) << locked.file << " byte for byte";
    EXPECT_THAT(Read_File(global), HasSubstr("name=\"OLD\"")) << "the shared landscape's own server";
    if (TestSupport::Path_Exists(user) && locked.file == std::string("QORUILandscape.xml")) {
        EXPECT_THAT(Read_File(user), HasSubstr("name=\"Mine\"")) << "the user landscape's own workspace";
    }
    for (const std::string& name : TestSupport::Files_In(common)) {
        EXPECT_THAT(name, Not(HasSubstr(".tmp"))) << "a temporary file is left: " << name;
        EXPECT_THAT(name, Not(HasSubstr(".bak"))) << "a file was taken for unreadable: " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, LockedFile, ::testing::ValuesIn(Locked_Cases),
                         [](const ::testing::TestParamInfo<LockedCase>& info) { return info.param.name; });
