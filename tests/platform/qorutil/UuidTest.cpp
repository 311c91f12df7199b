#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "Uuid.h"

using QOR::FrontEnd::Util::Generate_Uuid;

TEST(UuidTest, IsARandomUuidInUpperCaseText)
{
    // Version 4 (random) in the third group, the RFC 4122 variant in the fourth.
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    for (int i = 0; i < 20; ++i) {
        const std::string uuid = Generate_Uuid();
        EXPECT_EQ(36u, uuid.size()) << uuid;
        EXPECT_TRUE(std::regex_match(uuid, form)) << uuid;
    }
}

TEST(UuidTest, EveryCallGivesANewOne)
{
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i)
        seen.insert(Generate_Uuid());
    EXPECT_EQ(1000u, seen.size());
}
