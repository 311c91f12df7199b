#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "Uuid.h"

// Upper-case text of a random UUID (version 4 in the third group, the RFC 4122
// variant in the fourth), a new one on every call.
TEST(UuidTest, IsANewRandomUuidInUpperCaseText)
{
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::string uuid = QOR::FrontEnd::Util::Generate_Uuid();
        EXPECT_TRUE(std::regex_match(uuid, form)) << uuid;
        seen.insert(uuid);
    }
    EXPECT_EQ(1000u, seen.size());
}
