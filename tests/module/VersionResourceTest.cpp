// Every binary that goes onto a client machine, and every stand-in for the
// client's components, carries its version resource: what Explorer's details
// tab, inventory tools and GetFileVersionInfo read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "ProductVersion.h"
#include "TestSupport.h"

namespace {

using Binary = std::pair<const char*, DWORD>; // the name and the file type

const Binary Binaries[] = {{"landscape_migration.dll", VFT_DLL},
                           {"landscape_migrate.exe", VFT_APP},
                           {"logon_startup.exe", VFT_APP},
                           {"qorutil.dll", VFT_DLL},
                           {"qorcdm.dll", VFT_DLL},
                           {"qorcdm2.dll", VFT_DLL},
                           {"qorcdm_proxy.dll", VFT_DLL}};

class VersionResource : public ::testing::TestWithParam<Binary>
{
protected:
    void SetUp() override
    {
        const std::string path = TestSupport::Program_Folder() + "\\" + GetParam().first;
        data.resize(GetFileVersionInfoSizeA(path.c_str(), nullptr));
        ASSERT_FALSE(data.empty()) << path << " has no version resource, error " << GetLastError();
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    }

    // A value of the string table, or "<none>".
    std::string Text(const std::string& name)
    {
        char* value = nullptr;
        UINT length = 0;
        const std::string query = "\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            return "<none>";
        return std::string(value, length ? length - 1 : 0);
    }

    std::vector<char> data;
};

} // namespace

// The fixed part carries the product version; the string table names the binary.
TEST_P(VersionResource, NamesTheBinaryAtTheProductVersion)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    ASSERT_EQ(4, std::sscanf(LANDSCAPE_MIGRATION_VERSION, "%u.%u.%u.%u", &major, &minor, &patch, &tweak));
    EXPECT_EQ(MAKELONG(minor, major), fixed->dwFileVersionMS) << std::hex << fixed->dwFileVersionMS;
    EXPECT_EQ(MAKELONG(tweak, patch), fixed->dwFileVersionLS) << std::hex << fixed->dwFileVersionLS;
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(GetParam().second, fixed->dwFileType);
    EXPECT_EQ(LANDSCAPE_MIGRATION_VERSION, Text("FileVersion"));
    EXPECT_EQ(LANDSCAPE_MIGRATION_VERSION, Text("ProductVersion")) << "the version the trace banner names";
    EXPECT_EQ(GetParam().first, Text("OriginalFilename"));
    EXPECT_EQ("Landscape migration", Text("ProductName"));
    const std::string description = Text("FileDescription");
    const std::string architecture = sizeof(void*) == 8 ? " (64-bit)" : " (32-bit)";
    EXPECT_GT(description.size(), architecture.size()) << description;
    EXPECT_THAT(description, ::testing::EndsWith(architecture)) << "the architecture ends the description";
}

INSTANTIATE_TEST_SUITE_P(Shipped, VersionResource, ::testing::ValuesIn(Binaries),
                         [](const ::testing::TestParamInfo<Binary>& info) {
                             return std::regex_replace(info.param.first, std::regex("[^A-Za-z0-9]"), "_");
                         });
