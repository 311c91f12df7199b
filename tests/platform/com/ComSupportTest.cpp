#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ComApartment.h"
#include "ComThrower.h"
#include "MsXml.h"

namespace {

// The error a call raised, or S_OK when it raised none.
template <typename Call>
HRESULT Raised(Call call)
{
    try {
        call();
    } catch (const _com_error& error) {
        return error.Error();
    }
    return S_OK;
}

std::wstring Wide(const _bstr_t& text)
{
    return text.length() ? std::wstring(static_cast<const wchar_t*>(text), text.length()) : std::wstring();
}

// What MSXML itself answers to createElement with `name`, asked directly.
HRESULT Create_Element_Result(const wchar_t* name)
{
    QOR::FrontEnd::Util::ComApartment com;
    com.Initialize();
    IXMLDOMDocument2Ptr document;
    if (FAILED(document.CreateInstance(__uuidof(DOMDocument60), nullptr, CLSCTX_INPROC_SERVER)))
        return E_UNEXPECTED;
    IXMLDOMElementPtr element;
    const HRESULT hr = document->createElement(_bstr_t(name), &element);
    element = nullptr;
    document = nullptr;
    return hr;
}

} // namespace

TEST(ComErrors, CheckRaisesFailuresWithTheirResultAndPassesSuccesses)
{
    EXPECT_EQ(S_OK, Raised([] { Com_Thrower_Check(S_OK); }));
    EXPECT_EQ(S_OK, Raised([] { Com_Thrower_Check(S_FALSE); }));
    const HRESULT failures[] = {E_FAIL, E_OUTOFMEMORY, E_INVALIDARG, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)};
    for (const HRESULT failure : failures)
        EXPECT_EQ(failure, Raised([failure] { Com_Thrower_Check(failure); })) << std::hex << failure;
}

// Wine's MSXML accepts most invalid element names ("a b", "1abc"), but not
// an empty one.
TEST(ComErrors, AFailingDomCallLeavesTheLibraryAsComError)
{
    const HRESULT expected = Create_Element_Result(L"");
    ASSERT_TRUE(FAILED(expected)) << std::hex << expected;

    EXPECT_EQ(expected, Raised([] { Com_Thrower_Create_Element(L""); }));
    EXPECT_EQ(S_OK, Raised([] { Com_Thrower_Create_Element(L"Landscape"); }));
}

TEST(ComErrors, ANullSmartPointerRaisesEPointer)
{
    EXPECT_EQ(E_POINTER, Raised([] { Com_Thrower_Use_Null_Element(); }));
}

// Narrow text enters COM in the system ANSI code page (1252 under Wine) and
// leaves it in the calling thread's.
TEST(BstrConversions, NarrowTextRoundTripsThroughTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP());
    struct Case
    {
        const char* narrow;
        const wchar_t* wide;
    } const cases[] = {
        {"Landscape", L"Landscape"},
        {"\xE4\xF6\xFC \xC4\xD6\xDC \xDF", L"\u00e4\u00f6\u00fc \u00c4\u00d6\u00dc \u00df"},
        {"\x80 5", L"\u20ac 5"},
        {"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.narrow);
        const _bstr_t text(c.narrow);
        EXPECT_NE(nullptr, static_cast<const wchar_t*>(text));
        EXPECT_EQ(std::wstring(c.wide), Wide(text));

        const _bstr_t back(c.wide);
        EXPECT_STREQ(c.narrow, static_cast<const char*>(back));
    }
}

TEST(BstrConversions, NullStaysNull)
{
    EXPECT_EQ(nullptr, _com_util::ConvertStringToBSTR(nullptr));
    EXPECT_EQ(nullptr, _com_util::ConvertBSTRToString(nullptr));

    const _bstr_t none(static_cast<const char*>(nullptr));
    EXPECT_EQ(nullptr, static_cast<const wchar_t*>(none));
    EXPECT_EQ(0u, none.length());
}

TEST(BstrConversions, TheSupportFunctionsAllocateAsBstrAndNewArray)
{
    BSTR wide = _com_util::ConvertStringToBSTR("\xE4" "bc");
    ASSERT_NE(nullptr, wide);
    EXPECT_EQ(3u, SysStringLen(wide));
    EXPECT_STREQ(L"\u00e4" L"bc", wide);

    char* narrow = _com_util::ConvertBSTRToString(wide);
    ASSERT_NE(nullptr, narrow);
    EXPECT_STREQ("\xE4" "bc", narrow);
    delete[] narrow;
    SysFreeString(wide);
}

// A thread with a Russian locale has code page 1251 as its ANSI code page:
// DOM text becomes 1251 there, while narrow text still goes in as 1252.
TEST(BstrConversions, TheWayOutFollowsTheThreadLocale)
{
    std::string narrow;
    std::wstring wide;
    std::thread([&] {
        ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT)));
        narrow = static_cast<const char*>(_bstr_t(L"\u0416"));
        wide = Wide(_bstr_t("\xC6"));
    }).join();
    EXPECT_EQ("\xC6", narrow) << "Cyrillic Zhe in code page 1251";
    EXPECT_EQ(L"\u00c6", wide) << "AE in code page 1252";
}
