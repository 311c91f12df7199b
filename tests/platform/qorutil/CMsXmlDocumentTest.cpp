#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "CMsXmlDocument.h"
#include "CString.h"
#include "Handles.h"
#include "ScopeExit.h"
#include "TestSupport.h"

using QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument;
using ::testing::HasSubstr;
using TestSupport::Read_File;
using TestSupport::Write_File;

namespace {

const char* const Landscape_Text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<Landscape>\n  <Services>\n    <Service type=\"QORGUI\" name=\"Production\"/>\n"
                                   "  </Services>\n</Landscape>\n";

bool Load(CMsXmlDocument& document, const std::string& path, CString& message)
{
    return document.Load_From_File(CString(path.c_str()), message, true);
}

bool Save(CMsXmlDocument& document, const std::string& path) { return document.Save_To_File(CString(path.c_str())); }

std::string Repeat(const std::string& text, int times)
{
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

// Documents that do not load, written beside the secret file that some of them
// point at. Landscape files never carry a document type declaration, so every
// document with one is refused: plain ones and hostile ones (external entities
// and DTDs; entity bombs, which Wine's MSXML would expand only when the text is
// read, to 400 million characters for the flat one). Malformed and empty text
// close the list.
std::vector<std::string> Unloadable(const TestSupport::ScratchDirectory& folder)
{
    Write_File(folder / "secret.txt", "SECRET");
    std::string url = "file:///" + folder / "secret.txt";
    std::replace(url.begin(), url.end(), '\\', '/');
    std::string nested = "<!DOCTYPE Landscape [<!ENTITY e0 \"lol\">";
    for (int level = 1; level <= 9; ++level)
        nested +=
            "<!ENTITY e" + std::to_string(level) + " \"" + Repeat("&e" + std::to_string(level - 1) + ";", 10) + "\">";
    const std::string flat =
        "<!DOCTYPE Landscape [<!ENTITY a \"" + Repeat("a", 20000) + "\"><!ENTITY b \"" + Repeat("&a;", 20000) + "\">]>";
    return {
        "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY name \"x\">]>\n<Landscape>&name;</Landscape>",
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + url + "\">]><Landscape>&s;</Landscape>",
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"secret.txt\">]><Landscape>&s;</Landscape>",
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + url + "\">]><Landscape a=\"&s;\"/>",
        "<!DOCTYPE Landscape [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]><Landscape/>",
        "<!DOCTYPE Landscape SYSTEM \"" + url + "\"><Landscape/>",
        nested + "]><Landscape>&e9;</Landscape>",
        flat + "<Landscape>&b;</Landscape>",
        flat + "<Landscape a=\"&b;\"/>",
        "<Landscape><Services></Landscape>",
        "",
    };
}

// "\xE9" is "\u00e9" in code page 1252, Wine's ANSI code page: the file's name,
// written and read by the tests' own helpers in that code page, is found by the
// document only when it takes narrow paths as ANSI.
struct CMsXmlDocumentTest : public ::testing::Test
{
    TestSupport::ScratchDirectory folder;
    const std::string file = folder / "caf\xE9.xml";
    void SetUp() override { ASSERT_EQ(1252u, GetACP()); }
};

} // namespace

// Wine refuses to replace a file that another handle holds open, and would
// replace a read-only one. A new profile has no client folder yet. Every file
// saved starts with one declaration, whether the document had one or not.
TEST_F(CMsXmlDocumentTest, SaveReplacesTheTargetWholeOrLeavesItAsItWas)
{
    Write_File(file, Landscape_Text);
    CMsXmlDocument empty, document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape><Routers/></Landscape>"));
    EXPECT_FALSE(Save(empty, file)) << "MSXML would write a document without a root as an empty file";
    EXPECT_FALSE(Save(document, ""));
    EXPECT_FALSE(Save(document, file + "\\below\\a-file.xml")) << "no folder can be made below a file";
    {
        const QOR::FrontEnd::Util::unique_hfile reader(CreateFileA(
            file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_FALSE(Save(document, file)) << "the final move fails";
    }
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Save(document, file)) << "a read-only target is not replaced";
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(Landscape_Text, Read_File(file));

    ASSERT_TRUE(Save(document, file));
    const std::regex declaredOnce(R"(<\?xml [^?]*\?>\s*<Landscape><Routers/></Landscape>\s*)");
    EXPECT_TRUE(std::regex_match(Read_File(file), declaredOnce)) << Read_File(file);
    EXPECT_EQ(std::vector<std::string>{"caf\xE9.xml"}, TestSupport::Files_In(folder.Path()))
        << "no temporary, no backup";
    ASSERT_TRUE(Save(document, folder / "new\\profile\\other.xml"));
    EXPECT_TRUE(std::regex_match(Read_File(folder / "new\\profile\\other.xml"), declaredOnce))
        << Read_File(folder / "new\\profile\\other.xml");
}

// A file that does not load, or is missing, is refused with MSXML's reason or the
// refusal's, never the wrapper's fallback. (Wine's MSXML gives the same reason
// for every failure, "error".)
TEST_F(CMsXmlDocumentTest, ADocumentThatDoesNotLoadIsRefused)
{
    const std::vector<std::string> documents = Unloadable(folder);
    for (size_t index = 0; index <= documents.size(); ++index) {
        SCOPED_TRACE(index);
        const bool missing = index == documents.size();
        if (!missing)
            Write_File(file, documents[index]);
        CMsXmlDocument document;
        CString message;
        EXPECT_FALSE(Load(document, missing ? folder / "missing.xml" : file, message));
        EXPECT_FALSE(message.IsEmpty());
        EXPECT_STRNE(missing ? "The file does not exist." : "The file could not be parsed.", message.GetString());
        if (index == 0) {
            EXPECT_STREQ("The document has a document type declaration, which is not accepted.", message.GetString());
        }
    }
}

// A target that does not load is kept before it is replaced, each time under a
// new name; one that loads is replaced without a copy.
TEST_F(CMsXmlDocumentTest, ATargetThatDoesNotLoadIsKeptAsBackup)
{
    const std::vector<std::string> documents = Unloadable(folder);
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
    for (size_t index = 0; index < documents.size(); ++index) {
        SCOPED_TRACE(index);
        Write_File(file, documents[index]);
        ASSERT_TRUE(Save(document, file));
        EXPECT_THAT(Read_File(file), HasSubstr("<Landscape/>"));
        EXPECT_EQ(documents[index], Read_File(file + (index ? ".bak." + std::to_string(index + 1) : ".bak")));
    }
    ASSERT_TRUE(Save(document, file));
    EXPECT_EQ(documents.size() + 2, TestSupport::Files_In(folder.Path()).size()) << "backups, secret, landscape";
}

// Whatever a document was read as, it is written as UTF-8 under a declaration
// that says so, its text intact, and saving it again changes nothing. (Wine's
// MSXML writes UTF-8 under the old declaration: the next reader garbles it, or
// cannot read a file that claims to be UTF-16 at all.) MSXML writes a loaded
// declaration with double quotes. With white space preserved a UTF-8 file comes
// back byte for byte. "\303\274" is u-umlaut in UTF-8, "\374" in the 8-bit code
// pages (a hex escape would take the "d" that follows along).
TEST_F(CMsXmlDocumentTest, ADocumentIsSavedAsUtf8WhateverItWasReadAs)
{
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape owner=\"S\303\274d\"/>\n";
    const std::wstring wide = L"<?xml version='1.0' encoding='UTF-16'?>\n<Landscape owner=\"S\u00fcd\"/>\n";
    const struct
    {
        const char* name;
        std::string read, written;
    } cases[] = {
        {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Landscape owner=\"S\374d\"/>\n", utf8},
        {"windows-1252, standalone",
         "<?xml version='1.0' encoding='windows-1252' standalone='yes'?>\n<Landscape owner=\"S\374d\"/>\n",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Landscape owner=\"S\303\274d\"/>\n"},
        {"UTF-16", "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2), utf8},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8, utf8},
        {"UTF-8, laid out", Landscape_Text, Landscape_Text}, // white space preserved
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        Write_File(file, each.read);
        CMsXmlDocument document, again;
        CString message("stale");
        ASSERT_TRUE(Load(document, file, message)) << message.GetString();
        EXPECT_STREQ("", message.GetString());
        ASSERT_TRUE(Save(document, file));
        EXPECT_EQ(each.written, Read_File(file));
        ASSERT_TRUE(Load(again, file, message)) << message.GetString();
        ASSERT_TRUE(Save(again, file));
        EXPECT_EQ(each.written, Read_File(file)) << "a second save";
    }
}

// The document joins a thread to a COM apartment for its own lifetime only: the
// host's thread is left as it was.
TEST_F(CMsXmlDocumentTest, ComIsInitialisedForTheDocumentsLifetime)
{
    HRESULT during = E_FAIL, afterwards = E_FAIL;
    std::thread([&] {
        std::optional<CMsXmlDocument> document(std::in_place);
        during = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        document.reset();
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        const auto leave = QOR::FrontEnd::Util::scope_exit([] { CoUninitialize(); });
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, during) << "the thread is in a single-threaded apartment";
    EXPECT_EQ(S_OK, afterwards) << "the apartment was left";
}
