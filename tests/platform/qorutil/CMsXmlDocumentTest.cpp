#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
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

// Whether the text starts with an XML declaration, has no other, and contains `part`.
bool One_Declaration_Then(const std::string& text, const char* part)
{
    return text.rfind("<?xml ", 0) == 0 && text.find("<?xml", 1) == std::string::npos &&
           text.find(part) != std::string::npos;
}

struct CMsXmlDocumentTest : public ::testing::Test
{
    TestSupport::ScratchDirectory folder;
    const std::string file = folder / "landscape.xml";
};

} // namespace

// With white space preserved a file comes back byte for byte, declaration and
// all; without, the layout between elements is dropped. A failed load leaves an
// empty document but not a forgotten file: Save() writes to the file last
// loaded. Wine's MSXML gives the same reason for every failure, "error"; either
// way it is MSXML's text, not the wrapper's fallback.
TEST_F(CMsXmlDocumentTest, LoadsFromTextOrFileAndSavesBackToTheFileLastLoaded)
{
    CMsXmlDocument document;
    EXPECT_FALSE(document.Is_Loaded());
    ASSERT_TRUE(document.Load_From_String(L"<Landscape a=\"1\">t</Landscape>"));
    EXPECT_TRUE(document.Is_Loaded());
    EXPECT_THAT(document.To_String(), HasSubstr(L"<Landscape a=\"1\">t</Landscape>"));
    EXPECT_FALSE(document.Save()) << "neither loaded from nor saved to a file";
    EXPECT_FALSE(document.Load_From_String(L"<Landscape>"));
    EXPECT_FALSE(document.Is_Loaded());
    EXPECT_EQ(L"", document.To_String());

    Write_File(file, Landscape_Text);
    CString message("stale");
    ASSERT_TRUE(Load(document, file, message));
    EXPECT_STREQ("", message.GetString());
    EXPECT_TRUE(document.Is_Loaded());
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(Landscape_Text, Read_File(file));
    std::wstring wideMessage;
    ASSERT_TRUE(document.Load_From_File(std::wstring(_bstr_t(file.c_str())), wideMessage, false));
    ASSERT_TRUE(document.Save());
    const char* const compact =
        "<Landscape><Services><Service type=\"QORGUI\" name=\"Production\"/></Services></Landscape>";
    EXPECT_THAT(Read_File(file), HasSubstr(compact));

    Write_File(folder / "malformed.xml", "<Landscape><Services></Landscape>");
    Write_File(folder / "empty.xml", "");
    for (const char* name : {"missing.xml", "malformed.xml", "empty.xml"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
        EXPECT_FALSE(Load(document, folder / name, message));
        EXPECT_FALSE(message.IsEmpty());
        EXPECT_STRNE("The file does not exist.", message.GetString());
        EXPECT_STRNE("The file could not be parsed.", message.GetString());
        EXPECT_FALSE(document.Is_Loaded());
        EXPECT_EQ(L"", document.To_String());
        EXPECT_FALSE(document.Save()) << "a document without a root element is not saved";
    }
    ASSERT_TRUE(document.Load_From_String(L"<Other/>"));
    ASSERT_TRUE(document.Save());
    EXPECT_THAT(Read_File(file), HasSubstr("<Other/>"));
}

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
    EXPECT_FALSE(document.Save_To_File_Deprecated(nullptr));
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
    EXPECT_TRUE(One_Declaration_Then(Read_File(file), "<Landscape><Routers/></Landscape>")) << Read_File(file);
    EXPECT_EQ(std::vector<std::string>{"landscape.xml"}, TestSupport::Files_In(folder.Path()))
        << "no temporary, no backup";
    ASSERT_TRUE(document.Save_To_File_Deprecated((folder / "new\\profile\\other.xml").c_str()));
    EXPECT_TRUE(One_Declaration_Then(Read_File(folder / "new\\profile\\other.xml"), "<Landscape><Routers/>"));
}

// Landscape files never carry a document type declaration, so every document
// with one is refused, from a file and from text: plain ones and hostile ones
// (external entities and DTDs; entity bombs, which Wine's MSXML would expand
// only when the text is read, to 400 million characters for the flat one).
// A target that does not load is kept before it is replaced, each time under
// a new name.
TEST_F(CMsXmlDocumentTest, ADocumentThatDoesNotLoadIsRefusedAndKeptAsBackup)
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
    const std::string documents[] = {
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
    for (const std::string& text : documents) {
        const size_t index = &text - documents;
        SCOPED_TRACE(index);
        Write_File(file, text);
        CMsXmlDocument document;
        CString message;
        EXPECT_FALSE(Load(document, file, message));
        EXPECT_FALSE(message.IsEmpty());
        if (index == 0) {
            EXPECT_STREQ("The document has a document type declaration, which is not accepted.", message.GetString());
        }
        EXPECT_FALSE(document.Is_Loaded());
        EXPECT_EQ(L"", document.To_String());
        EXPECT_FALSE(document.Load_From_String(std::wstring(text.begin(), text.end())));
        EXPECT_EQ(L"", document.To_String());

        ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
        ASSERT_TRUE(Save(document, file));
        EXPECT_THAT(Read_File(file), HasSubstr("<Landscape/>"));
        EXPECT_EQ(text, Read_File(file + (index ? ".bak." + std::to_string(index + 1) : ".bak")));
    }
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
    ASSERT_TRUE(Save(document, file)) << "a target that loads is replaced without a copy";
    EXPECT_EQ(std::size(documents) + 2, TestSupport::Files_In(folder.Path()).size()) << "backups, secret, landscape";
}

// Whatever a document was read as, it is written as UTF-8 under a declaration
// that says so, its text intact, and saving it again changes nothing. (Wine's
// MSXML writes UTF-8 under the old declaration: the next reader garbles it, or
// cannot read a file that claims to be UTF-16 at all.) MSXML writes a loaded
// declaration with double quotes.
TEST_F(CMsXmlDocumentTest, ADocumentIsSavedAsUtf8WhateverItWasReadAs)
{
    struct Case
    {
        const char* name;
        std::string read, written;
    };
    const std::string body = "<Landscape owner=\"S\xC3\xBC"
                             "d\"/>\n";
    const std::wstring wide = L"<?xml version='1.0' encoding='UTF-16'?>\n<Landscape owner=\"S\u00fcd\"/>\n";
    const std::string utf16 = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    const Case cases[] = {
        {"ISO-8859-1",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Landscape owner=\"S\xFC"
         "d\"/>\n",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body},
        {"windows-1252, standalone",
         "<?xml version='1.0' encoding='windows-1252' standalone='yes'?>\n<Landscape owner=\"S\xFC"
         "d\"/>\n",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n" + body},
        {"UTF-16", utf16, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        Write_File(file, each.read);
        CMsXmlDocument document, again;
        CString message;
        ASSERT_TRUE(Load(document, file, message)) << message.GetString();
        ASSERT_TRUE(document.Save());
        EXPECT_EQ(each.written, Read_File(file));
        ASSERT_TRUE(Load(again, file, message)) << message.GetString();
        ASSERT_TRUE(again.Save());
        EXPECT_EQ(each.written, Read_File(file)) << "a second save";
    }
}

// "é" is 0xE9 in code page 1252, Wine's ANSI code page: narrow paths are ANSI.
TEST_F(CMsXmlDocumentTest, NarrowPathsAreInTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP());
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
    ASSERT_TRUE(Save(document, folder / "caf\xE9.xml"));
    const std::wstring wide = std::wstring(_bstr_t(folder.Path().c_str())) + L"\\caf\u00e9.xml";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide.c_str()))
        << "the name reached the disk as \"caf\u00e9.xml\"";
    CString message;
    EXPECT_TRUE(Load(document, folder / "caf\xE9.xml", message)) << message.GetString();
}

// The document joins a thread to a COM apartment for its own lifetime only, and
// works in a thread that is already in the multithreaded apartment.
TEST_F(CMsXmlDocumentTest, ComIsInitialisedForTheDocumentsLifetime)
{
    HRESULT during = E_FAIL, afterwards = E_FAIL, again = E_FAIL;
    bool loadedInMta = false;
    std::thread([&] {
        std::optional<CMsXmlDocument> document(std::in_place);
        during = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        document.reset();
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        const auto leave = QOR::FrontEnd::Util::scope_exit([] { CoUninitialize(); });
        loadedInMta = document.emplace().Load_From_String(L"<Landscape/>");
        document.reset();
        again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        const auto leaveAgain = QOR::FrontEnd::Util::scope_exit([] { CoUninitialize(); });
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, during) << "the thread is in a single-threaded apartment";
    EXPECT_EQ(S_OK, afterwards) << "the apartment was left";
    EXPECT_TRUE(loadedInMta);
    EXPECT_EQ(S_FALSE, again) << "the thread stays in its multithreaded apartment";
}
