#include <gtest/gtest.h>

#include <string>

#include "CMapStringToString.h"
#include "CString.h"

TEST(CString, BuildsTextFromPiecesOfItself)
{
    CString text("alpha"), copy(text);
    copy += "-beta";
    text += text;
    EXPECT_STREQ("alpha-beta|alphaalpha", copy + "|" + text) << "copies are independent, appending itself works";
    text = text.GetString() + 5;
    EXPECT_STREQ("x/alpha!|!alpha", "x/" + text + '!' + "|" + ('!' + text)) << "assigned a piece of itself";
    EXPECT_EQ('\0', text[5]) << "outside the text reads as 0";
    for (int i = 0; i < 100000; ++i)
        text += 'q';
    text.Format("%s|%s|%d|%s", CString("Local"), std::string("C:\\x.xml"), 42, text);
    EXPECT_EQ("Local|C:\\x.xml|42|alpha" + std::string(100000, 'q'), text.GetString());
}

// Compare and Remove match bytes; CompareNoCase matches letters in either case.
TEST(CString, MatchesTextAsMfcDoes)
{
    EXPECT_LT(CString("LOCAL").Compare("Local"), 0) << "byte order: 'O' < 'o'";
    EXPECT_EQ(0, CString("LoCaL").CompareNoCase("local"));
    EXPECT_NE(0, CString("Local1").CompareNoCase("local"));
    CString path("\"C:\\Program Files\\\"");
    EXPECT_EQ(2, path.Remove('"'));
    EXPECT_STREQ("C:\\Program Files\\", path);
}

// MFC walks its 17 buckets in order, the newest key of a bucket first. With its
// hash h = h*33 + c: "a" 97 % 17 = 12, "b" 13, "r" 114 % 17 = 12, "c" 14,
// "B" 66 % 17 = 15, "0" 48 % 17 = 14, "A" 65 % 17 = 14: a key of its own beside "a".
TEST(CMapStringToString, HoldsOneValuePerExactKeyInMfcOrder)
{
    CMapStringToString map;
    EXPECT_EQ(nullptr, map.GetStartPosition());
    for (const char* key : {"a", "b", "r", "c", "B", "0"})
        map.SetAt(key, key);
    map.SetAt("r", "again");
    map.SetAt("A", "new");
    CString key, value, pairs;
    EXPECT_TRUE(map.Lookup("A", value));
    EXPECT_STREQ("new", value);
    EXPECT_FALSE(map.Lookup("Z", value));
    for (POSITION position = map.GetStartPosition(); position;) {
        map.GetNextAssoc(position, key, value);
        pairs += key + "=" + value + " ";
    }
    EXPECT_STREQ("r=again a=a b=b A=new 0=0 c=c B=B ", pairs);
}
