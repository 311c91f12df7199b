#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMapStringToString.h"

namespace {

std::vector<std::string> Keys_In_Iteration_Order(const CMapStringToString& map)
{
    std::vector<std::string> keys;
    CString key, value;
    for (POSITION position = map.GetStartPosition(); position;) {
        map.GetNextAssoc(position, key, value);
        keys.push_back(key.GetString());
    }
    return keys;
}

} // namespace

TEST(CMapStringToString, SetLookupRemove)
{
    CMapStringToString map(20);
    EXPECT_TRUE(map.IsEmpty());
    map.SetAt("SystemID", "QA1");
    map.SetAt("MsgServerPort", "3600");
    map.SetAt("SystemID", "QA2"); // replaces
    EXPECT_EQ(2, map.GetCount());
    CString value;
    ASSERT_TRUE(map.Lookup("SystemID", value));
    EXPECT_STREQ("QA2", value);
    EXPECT_FALSE(map.Lookup("systemid", value)) << "keys are case-sensitive";
    EXPECT_TRUE(map.RemoveKey("SystemID"));
    EXPECT_FALSE(map.RemoveKey("SystemID"));
    EXPECT_FALSE(map.Lookup("SystemID", value));
    EXPECT_EQ(1, map.GetCount());
}

TEST(CMapStringToString, EmptyMapHasNoStartPosition)
{
    CMapStringToString map;
    EXPECT_EQ(nullptr, map.GetStartPosition());
    map.SetAt("a", "1");
    map.RemoveKey("a");
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

// MFC walks the 17 buckets in order, newest key first inside a bucket. With the
// hash h = h*33 + c: "a" -> 97 % 17 = 12, "b" -> 98 % 17 = 13, "r" -> 114 % 17 = 12,
// "c" -> 99 % 17 = 14, "B" -> 66 % 17 = 15, "0" -> 48 % 17 = 14.
TEST(CMapStringToString, IteratesInMfcOrder)
{
    CMapStringToString map;
    for (const char* key : {"a", "b", "r", "c", "B", "0"})
        map.SetAt(key, key);
    const std::vector<std::string> expected{"r", "a", "b", "0", "c", "B"};
    EXPECT_EQ(expected, Keys_In_Iteration_Order(map));
}

TEST(CMapStringToString, IterationVisitsEveryKeyOnceAtScale)
{
    CMapStringToString map;
    for (int i = 0; i < 2000; ++i)
        map.SetAt(std::to_string(i).c_str(), "v");
    EXPECT_EQ(2000, map.GetCount());
    std::vector<std::string> keys = Keys_In_Iteration_Order(map);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys.end(), std::unique(keys.begin(), keys.end()));
    EXPECT_EQ(2000u, keys.size());
}

TEST(CMapStringToString, IndexOperatorInsertsEmptyValue)
{
    CMapStringToString map;
    EXPECT_TRUE(map["new"].IsEmpty());
    map["new"] = "set";
    CString value;
    ASSERT_TRUE(map.Lookup("new", value));
    EXPECT_STREQ("set", value);
}
