// Landscapes as other programs write them: in UTF-8 with and without a
// byte-order mark, in UTF-16 of either byte order, in ISO-8859-1 and in
// windows-1252, with comments, CDATA, processing instructions and elements and
// attributes the migration does not know. Whatever a landscape was read as, the
// migration writes it in UTF-8 under a declaration that says so, and its text
// reads the same after the first, second and third start.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CMsXmlDocument.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using TestSupport::Read_File;
using TestSupport::Utf8;
using TestSupport::Write_File;

namespace {

struct Encoding
{
    const char* name;
    const char* declared; // the encoding the file's declaration names
    const wchar_t* text;  // non-ASCII text that the encoding can hold
    std::string (*encode)(const std::wstring&);
};

std::string Utf16(const std::wstring& text, bool big_endian)
{
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t ch : text) {
        const char high = static_cast<char>(ch >> 8), low = static_cast<char>(ch & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

const Encoding Encodings[] = {
    {"Utf8", "UTF-8", L"S\u00fcd \u0416 \u80fd\u767b", Utf8},
    {"Utf8WithByteOrderMark", "UTF-8", L"S\u00fcd \u0416 \u80fd\u767b",
     [](const std::wstring& text) { return "\xEF\xBB\xBF" + Utf8(text); }},
    {"Utf16LittleEndian", "UTF-16", L"S\u00fcd \u0416 \u80fd\u767b",
     [](const std::wstring& text) { return Utf16(text, false); }},
    {"Utf16BigEndian", "UTF-16", L"S\u00fcd \u0416 \u80fd\u767b",
     [](const std::wstring& text) { return Utf16(text, true); }},
    {"Latin1", "ISO-8859-1", L"S\u00fcd \u00df\u00e9",
     [](const std::wstring& text) { return TestSupport::Encoded(text, 28591); }},
    {"Windows1252", "windows-1252", L"S\u00fcd \u20ac \u00df",
     [](const std::wstring& text) { return TestSupport::Encoded(text, 1252); }},
};

std::wstring Shared_Landscape(const Encoding& encoding)
{
    const std::wstring text = encoding.text;
    return L"<?xml version=\"1.0\" encoding=\"" + std::wstring(_bstr_t(encoding.declared)) + L"\"?>\n<!--" + text +
           L"-->\n<Landscape owner=\"" + text +
           L"\">\n  <Messageservers>\n    <Messageserver uuid=\"m-1\" "
           L"name=\"OLD\" description=\"" +
           text +
           L"\" host=\"old.example.com\" port=\"3600\"/>\n"
           L"  </Messageservers>\n</Landscape>\n";
}

std::wstring User_Landscape(const Encoding& encoding)
{
    const std::wstring text = encoding.text;
    return L"<?xml version=\"1.0\" encoding=\"" + std::wstring(_bstr_t(encoding.declared)) +
           L"\"?>\n<Landscape owner=\"" + text + L"\">\n  <!--" + text +
           L"-->\n  <Workspaces>\n    <Workspace "
           L"uuid=\"w-1\" name=\"" +
           text +
           L"\" expanded=\"1\"><Item uuid=\"s-1\" serviceid=\"s-1\"/></Workspace>\n"
           L"  </Workspaces>\n  <Services>\n    <Service type=\"QORGUI\" uuid=\"s-1\" name=\"" +
           text + L"\"><Property name=\"Note\" value=\"" + text + L"\"/></Service>\n  </Services>\n  <Extra note=\"" +
           text + L"\"><![CDATA[" + text + L"]]></Extra>\n  <?tool " + text + L"?>\n</Landscape>\n";
}

// The text of the node that `xpath` selects in the file, or "<none>".
std::wstring Text_At(const std::string& file, const wchar_t* xpath)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    if (!document.Load_From_File(CString(file.c_str()), message, true))
        return L"<does not load: " + std::wstring(_bstr_t(message.GetString())) + L">";
    IXMLDOMNodePtr node;
    if (FAILED(document.m_pXmlDocument->selectSingleNode(_bstr_t(xpath), &node)) || !node)
        return L"<none>";
    BSTR text = nullptr;
    node->get_text(&text);
    const _bstr_t owned(text, false);
    return owned.length() ? std::wstring(static_cast<const wchar_t*>(owned)) : std::wstring();
}

long Count_At(const std::string& file, const wchar_t* xpath)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    IXMLDOMNodeListPtr nodes;
    long count = -1;
    if (document.Load_From_File(CString(file.c_str()), message, true) &&
        SUCCEEDED(document.m_pXmlDocument->selectNodes(_bstr_t(xpath), &nodes)) && nodes)
        nodes->get_length(&count);
    return count;
}

// The encoding that the file's declaration names, when the file is UTF-8 throughout.
std::string Declared_Encoding(const std::string& bytes)
{
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) ==
        0)
        return "<not UTF-8>";
    const size_t end = bytes.find("?>");
    const size_t name = bytes.find("encoding=");
    if (bytes.compare(0, 6, "<?xml ") != 0 || end == std::string::npos || name == std::string::npos || name > end)
        return "<no encoding declared>";
    return bytes.substr(name + 10, bytes.find_first_of("\"'", name + 10) - name - 10);
}

void PrintTo(const Encoding& encoding, std::ostream* out) { *out << encoding.name; }

class ForeignEncoding : public Startup, public ::testing::WithParamInterface<Encoding>
{};

} // namespace

TEST_P(ForeignEncoding, ALandscapeReadsTheSameAfterEveryStart)
{
    const Encoding& encoding = GetParam();
    const std::wstring text = encoding.text;
    Write_File(global, encoding.encode(Shared_Landscape(encoding)));
    Write_File(user, encoding.encode(User_Landscape(encoding)));
    std::string qormsg = Read_File(windows + "\\qormsg.ini");
    qormsg.replace(qormsg.find("[Descriptions]"), 14, "[Descriptions]\r\nTRN=Schulung Z\xFCrich");
    Write_File(windows + "\\qormsg.ini", qormsg);

    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        Set_DWORD(Qor_Key, "LandscapeMigrationState", 0); // forced: the converters run every time
        EXPECT_TRUE(Start());

        const std::string shared_bytes = Read_File(global), user_bytes = Read_File(user);
        EXPECT_EQ("UTF-8", Declared_Encoding(shared_bytes)) << "shared landscape";
        EXPECT_EQ("UTF-8", Declared_Encoding(user_bytes)) << "user landscape";
        EXPECT_EQ(text, Text_At(global, L"/Landscape/@owner"));
        EXPECT_EQ(text, Text_At(global, L"/comment()"));
        EXPECT_EQ(text, Text_At(global, L"//Messageserver[@name='OLD']/@description"));
        EXPECT_EQ(L"Schulung Z\u00fcrich", Text_At(global, L"//Messageserver[@name='TRN']/@description"))
            << "a description merged from qormsg.ini";
        EXPECT_EQ(4, Count_At(global, L"//Messageserver")) << "OLD and the three of qormsg.ini";
        EXPECT_EQ(text, Text_At(user, L"/Landscape/@owner"));
        EXPECT_EQ(text, Text_At(user, L"/Landscape/comment()"));
        EXPECT_EQ(text, Text_At(user, L"//Workspace[@uuid='w-1']/@name"));
        EXPECT_EQ(text, Text_At(user, L"//Service[@uuid='s-1']/@name"));
        EXPECT_EQ(text, Text_At(user, L"//Service[@uuid='s-1']/Property/@value"));
        EXPECT_EQ(text, Text_At(user, L"/Landscape/Extra/@note"));
        EXPECT_EQ(text, Text_At(user, L"/Landscape/Extra"));
        EXPECT_EQ(text, Text_At(user, L"/Landscape/processing-instruction('tool')"));
        const std::vector<std::string> files = TestSupport::Files_In(common);
        EXPECT_EQ(3u, files.size()) << "no backup beside qorlogon.ini and the two landscapes: "
                                    << ::testing::PrintToString(files);
    }
}

INSTANTIATE_TEST_SUITE_P(Landscapes, ForeignEncoding, ::testing::ValuesIn(Encodings),
                         [](const ::testing::TestParamInfo<Encoding>& info) { return info.param.name; });
