#include <gtest/gtest.h>

#include <string>

#include "CString.h"

TEST(CString, EmptyByDefaultAndAfterEmpty)
{
    CString text;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(0, text.GetLength());
    EXPECT_STREQ("", static_cast<const char*>(text));
    text = "abc";
    text.Empty();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ("", text.GetString());
}

TEST(CString, CopiesAreIndependent)
{
    CString first("alpha");
    CString second(first);
    second += "-beta";
    EXPECT_STREQ("alpha", first);
    EXPECT_STREQ("alpha-beta", second);
    first = second;
    second.Empty();
    EXPECT_STREQ("alpha-beta", first);
}

TEST(CString, ConcatenationInEveryForm)
{
    const CString name("Local");
    EXPECT_STREQ("Local/x", name + "/x");
    EXPECT_STREQ("x/Local", "x/" + name);
    EXPECT_STREQ("LocalLocal", name + name);
    EXPECT_STREQ("Local!", name + '!');
    EXPECT_STREQ("!Local", '!' + name);
    CString grown;
    for (int i = 0; i < 1000; ++i)
        grown += 'x';
    EXPECT_EQ(1000, grown.GetLength());
}

TEST(CString, AppendingItselfIsSafe)
{
    CString text("abc");
    text += text;
    EXPECT_STREQ("abcabc", text);
    text = text.GetString() + 3; // assign a piece of itself
    EXPECT_STREQ("abc", text);
}

TEST(CString, FormatTakesStringObjectsForPercentS)
{
    CString text;
    const CString name("Local");
    const std::string path("C:\\x.xml");
    text.Format("%s|%s|%d|%s", name, path, 42, "plain");
    EXPECT_STREQ("Local|C:\\x.xml|42|plain", text);
}

TEST(CString, FormatOfLongTextIsComplete)
{
    CString text;
    const std::string longText(100000, 'q');
    text.Format("[%s]", longText);
    ASSERT_EQ(100002, text.GetLength());
    EXPECT_EQ('q', text[50000]);
    EXPECT_EQ(']', text[100001]);
}

TEST(CString, CompareIsByteOrderAndCompareNoCaseIgnoresCase)
{
    EXPECT_EQ(0, CString("Local").Compare("Local"));
    EXPECT_LT(CString("LOCAL").Compare("Local"), 0); // 'O' < 'o'
    EXPECT_GT(CString("b").Compare("a"), 0);
    EXPECT_EQ(0, CString("LoCaL").CompareNoCase("local"));
    EXPECT_NE(0, CString("Local1").CompareNoCase("local"));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(CString("x") == "x");
    EXPECT_TRUE("y" != CString("x"));
}

TEST(CString, RemoveDropsEveryOccurrenceAndCounts)
{
    CString path("\"C:\\Program Files\\\"");
    EXPECT_EQ(2, path.Remove('"'));
    EXPECT_STREQ("C:\\Program Files\\", path);
    EXPECT_EQ(0, path.Remove('"'));
    CString empty;
    EXPECT_EQ(0, empty.Remove('x'));
}

TEST(CString, ReplaceTextResumesAfterEachReplacement)
{
    CString text("aaaa");
    EXPECT_EQ(2, text.Replace("aa", "a"));
    EXPECT_STREQ("aa", text);
    CString name("QOR::X::QOR::X::Check");
    EXPECT_EQ(2, name.Replace("QOR::X::", ""));
    EXPECT_STREQ("Check", name);
    EXPECT_EQ(0, name.Replace("", "z"));
    EXPECT_EQ(3, CString("a.b.c.").Replace('.', '/'));
}

TEST(CString, IndexingOutsideGivesZero)
{
    const CString text("ab");
    EXPECT_EQ('a', text.GetAt(0));
    EXPECT_EQ('\0', text.GetAt(2));
    EXPECT_EQ('\0', text.GetAt(-1));
}
