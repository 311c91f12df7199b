#include <gtest/gtest.h>

#include "CStringArray.h"

TEST(CStringArray, AddReturnsIndexAndKeepsOrder)
{
    CStringArray keys;
    EXPECT_EQ(0, keys.GetSize());
    EXPECT_EQ(0, keys.Add("first"));
    EXPECT_EQ(1, keys.Add(CString("second")));
    ASSERT_EQ(2, keys.GetSize());
    EXPECT_STREQ("first", keys.GetAt(0));
    EXPECT_STREQ("second", keys[1]);
    keys[0] = "changed";
    EXPECT_STREQ("changed", keys.GetAt(0));
    keys.RemoveAll();
    EXPECT_EQ(0, keys.GetSize());
    EXPECT_EQ(0, keys.Add("again"));
}

TEST(CStringArrayDeathTest, IndexOutOfRangeStops)
{
    CStringArray keys;
    keys.Add("only");
    EXPECT_DEATH(keys.GetAt(1), "");
}
