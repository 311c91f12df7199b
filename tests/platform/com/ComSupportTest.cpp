#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "MsXml.h"
#include "XmlText.h"

using QOR::FrontEnd::MsXmlAdaptor::Xml_Text;

// The converters' DOM calls go through Check: a failure leaves as the
// _com_error of its result, which the start-up call passes to its caller.
TEST(ComErrors, AFailedResultIsThrownWithItsValue)
{
    EXPECT_NO_THROW(QOR::FrontEnd::MsXmlAdaptor::Check(S_FALSE));
    try {
        QOR::FrontEnd::MsXmlAdaptor::Check(E_OUTOFMEMORY);
        ADD_FAILURE() << "nothing thrown for E_OUTOFMEMORY";
    } catch (const _com_error& error) {
        EXPECT_EQ(E_OUTOFMEMORY, error.Error());
    }
}

// Narrow text enters COM in the system ANSI code page (1252 under Wine) and leaves
// it in the calling thread's. A thread with a Russian locale has code page 1251 as
// its ANSI code page: DOM text becomes 1251 there, while narrow text still goes in
// as 1252. Empty text stays text.
TEST(BstrConversions, InComeTheSystemCodePageOutTheThreads)
{
    ASSERT_EQ(1252u, GetACP());
    const _bstr_t text("\xE4\xF6\xFC \xDF \x80");
    EXPECT_STREQ(L"\u00e4\u00f6\u00fc \u00df \u20ac", static_cast<const wchar_t*>(text));
    EXPECT_EQ(7u, text.length());
    EXPECT_STREQ("\xE4\xF6\xFC \xDF \x80", static_cast<const char*>(_bstr_t(L"\u00e4\u00f6\u00fc \u00df \u20ac")));
    EXPECT_STREQ(L"", static_cast<const wchar_t*>(_bstr_t("")));
    std::string narrow;
    std::wstring wide;
    std::thread([&] {
        ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT)));
        narrow = static_cast<const char*>(_bstr_t(L"\u0416"));
        wide = static_cast<const wchar_t*>(_bstr_t("\xC6"));
    }).join();
    EXPECT_EQ("\xC6", narrow) << "Cyrillic Zhe in code page 1251";
    EXPECT_EQ(L"\u00c6", wide) << "AE in code page 1252";
}

// Below U+0020 XML 1.0 holds tab, line feed and carriage return only.
TEST(XmlText, LeavesOutWhatXmlCannotHold)
{
    std::string controls;
    for (char ch = 1; ch < 0x20; ++ch)
        controls += ch;
    EXPECT_STREQ(L"<\t\n\r>", static_cast<const wchar_t*>(Xml_Text("<" + controls + ">")));
    EXPECT_STREQ(L"\u00e4\u007f \u20ac", static_cast<const wchar_t*>(Xml_Text("\xE4\x7F \x80")));
}
