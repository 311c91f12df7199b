#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CMsXmlDocument.h"
#include "CString.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

using QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument;
using TestSupport::Files_In;
using TestSupport::Path_Exists;
using TestSupport::Read_File;
using TestSupport::ScratchDirectory;
using TestSupport::Write_File;

namespace {

const char* const Landscape_Text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<Landscape>\n"
                                   "  <Services>\n"
                                   "    <Service type=\"QORGUI\" uuid=\"C-1\" name=\"Production\"/>\n"
                                   "  </Services>\n"
                                   "</Landscape>\n";

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring Take(BSTR text)
{
    const _bstr_t owned(text, false);
    return owned.length() ? std::wstring(static_cast<const wchar_t*>(owned), owned.length()) : std::wstring();
}

IXMLDOMElementPtr Root(const CMsXmlDocument& document)
{
    IXMLDOMElementPtr root;
    document.m_pXmlDocument->get_documentElement(&root);
    return root;
}

std::wstring Root_Name(const CMsXmlDocument& document)
{
    const IXMLDOMElementPtr root = Root(document);
    BSTR name = nullptr;
    return root && SUCCEEDED(root->get_nodeName(&name)) ? Take(name) : std::wstring();
}

// All text below the root, entity references expanded as a reader sees them.
std::wstring Root_Text(const CMsXmlDocument& document)
{
    const IXMLDOMElementPtr root = Root(document);
    BSTR text = nullptr;
    return root && SUCCEEDED(root->get_text(&text)) ? Take(text) : std::wstring();
}

bool Load(CMsXmlDocument& document, const std::string& path, CString* message = nullptr)
{
    CString ignored;
    return document.Load_From_File(CString(path.c_str()), message ? *message : ignored, true);
}

bool Save(CMsXmlDocument& document, const std::string& path)
{
    return document.Save_To_File(CString(path.c_str()));
}

// The file as a second, independent document reads it.
std::wstring Root_Name_Of_File(const std::string& path)
{
    CMsXmlDocument reader;
    return Load(reader, path) ? Root_Name(reader) : std::wstring();
}

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

std::string File_Url(const std::string& path)
{
    std::string url = "file:///" + path;
    std::replace(url.begin(), url.end(), '\\', '/');
    return url;
}

class CMsXmlDocumentTest : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    const std::string file = folder / "landscape.xml";
};

} // namespace

TEST_F(CMsXmlDocumentTest, StartsEmptyAndLoadsFromString)
{
    CMsXmlDocument document;
    EXPECT_FALSE(document.Is_Loaded());
    EXPECT_EQ(L"", document.To_String());

    ASSERT_TRUE(document.Load_From_String(L"<Landscape a=\"1\">t</Landscape>"));
    EXPECT_TRUE(document.Is_Loaded());
    EXPECT_TRUE(Contains(document.To_String(), L"<Landscape a=\"1\">t</Landscape>")) << document.To_String();

    EXPECT_FALSE(document.Load_From_String(L"<Landscape>"));
    EXPECT_FALSE(document.Is_Loaded());
    EXPECT_EQ(nullptr, Root(document)) << "a failed load leaves nothing of the earlier document";
}

TEST_F(CMsXmlDocumentTest, LoadsAWellFormedFile)
{
    Write_File(file, Landscape_Text);
    CMsXmlDocument document;
    CString message("stale");

    ASSERT_TRUE(Load(document, file, &message));
    EXPECT_TRUE(message.IsEmpty()) << message.GetString();
    EXPECT_TRUE(document.Is_Loaded());
    EXPECT_EQ(L"Landscape", Root_Name(document));
    EXPECT_TRUE(Contains(document.To_String(), L"<Service type=\"QORGUI\" uuid=\"C-1\" name=\"Production\"/>"));
}

// Wine's MSXML gives one reason for all of these: "error". Either way it is
// MSXML's text, not the wrapper's own fallback.
TEST_F(CMsXmlDocumentTest, MissingOrMalformedFilesFailWithMSXMLsReason)
{
    Write_File(folder / "malformed.xml", "<Landscape><Services></Landscape>");
    Write_File(folder / "empty.xml", "");
    const std::string paths[] = {folder / "missing.xml", folder / "malformed.xml", folder / "empty.xml"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        CMsXmlDocument document;
        ASSERT_TRUE(document.Load_From_String(L"<Earlier/>"));
        CString message;

        EXPECT_FALSE(Load(document, path, &message));
        EXPECT_FALSE(message.IsEmpty());
        EXPECT_STRNE("The file does not exist.", message.GetString());
        EXPECT_STRNE("The file could not be parsed.", message.GetString());
        EXPECT_FALSE(document.Is_Loaded());
        EXPECT_EQ(L"", document.To_String());
    }
}

TEST_F(CMsXmlDocumentTest, PreservingWhiteSpaceKeepsTheLayoutOnARoundTrip)
{
    Write_File(file, Landscape_Text);
    CMsXmlDocument document;
    std::wstring message;

    ASSERT_TRUE(document.Load_From_File(std::wstring(_bstr_t(file.c_str())), message, true));
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(Landscape_Text, Read_File(file));

    ASSERT_TRUE(document.Load_From_File(std::wstring(_bstr_t(file.c_str())), message, false));
    ASSERT_TRUE(document.Save());
    const std::string compact = Read_File(file);
    EXPECT_EQ(std::string::npos, compact.find("\n  <Services>")) << compact;
    EXPECT_NE(std::string::npos, compact.find("<Landscape><Services><Service ")) << compact;
}

TEST_F(CMsXmlDocumentTest, SaveToFileWritesAParsableFileAndReplacesAnExistingOne)
{
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape><Routers/></Landscape>"));

    ASSERT_TRUE(Save(document, file));
    EXPECT_EQ(L"Landscape", Root_Name_Of_File(file));

    Write_File(file, "<Old/>");
    ASSERT_TRUE(Save(document, file));
    EXPECT_EQ(L"Landscape", Root_Name_Of_File(file));
    EXPECT_NE(std::string::npos, Read_File(file).find("<Routers/>"));
    EXPECT_EQ(std::vector<std::string>{"landscape.xml"}, Files_In(folder.Path())) << "no temporary file, no backup";

    ASSERT_TRUE(document.Save_To_File_Deprecated((folder / "other.xml").c_str()));
    EXPECT_EQ(L"Landscape", Root_Name_Of_File(folder / "other.xml"));
    EXPECT_FALSE(document.Save_To_File_Deprecated(nullptr));
}

// A new profile has no client folder; Wine's MSXML loses a declaration made with
// createProcessingInstruction once any element's XML text has been read.
TEST_F(CMsXmlDocumentTest, SaveCreatesMissingFoldersAndStartsEveryFileWithOneDeclaration)
{
    auto declarations = [](const std::string& path) {
        const std::string text = Read_File(path);
        return text.compare(0, 6, "<?xml ") == 0 && text.find("<?xml", 1) == std::string::npos;
    };
    CMsXmlDocument bare;
    ASSERT_TRUE(bare.Load_From_String(L"<Landscape><Routers/></Landscape>"));
    const std::string nested = folder / "new\\profile\\landscape.xml";
    ASSERT_TRUE(Save(bare, nested));
    EXPECT_TRUE(declarations(nested));

    CMsXmlDocument made;
    IXMLDOMElementPtr root;
    ASSERT_EQ(S_OK, made.m_pXmlDocument->createElement(_bstr_t(L"Landscape"), &root));
    ASSERT_EQ(S_OK, made.m_pXmlDocument->putref_documentElement(root));
    IXMLDOMProcessingInstructionPtr declaration;
    ASSERT_EQ(S_OK, made.m_pXmlDocument->createProcessingInstruction(_bstr_t(L"xml"), _bstr_t(L"version='1.0'"),
                                                                     &declaration));
    IXMLDOMNodePtr inserted;
    ASSERT_EQ(S_OK, made.m_pXmlDocument->insertBefore(declaration, _variant_t(static_cast<IUnknown*>(root)), &inserted));
    BSTR xml = nullptr;
    ASSERT_EQ(S_OK, root->get_xml(&xml));
    SysFreeString(xml);
    ASSERT_TRUE(Save(made, file));
    EXPECT_TRUE(declarations(file));

    CMsXmlDocument loaded;
    ASSERT_TRUE(Load(loaded, file));
    ASSERT_TRUE(loaded.Save());
    EXPECT_TRUE(declarations(file));
}

TEST_F(CMsXmlDocumentTest, SaveNeedsAFileAndThenWritesBackToIt)
{
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
    EXPECT_FALSE(document.Save()) << "neither loaded from nor saved to a file";
    EXPECT_TRUE(Files_In(folder.Path()).empty());

    Write_File(file, Landscape_Text);
    ASSERT_TRUE(Load(document, file));
    ASSERT_EQ(S_OK, Root(document)->setAttribute(_bstr_t(L"changed"), _variant_t(L"yes")));
    ASSERT_TRUE(document.Save());
    EXPECT_NE(std::string::npos, Read_File(file).find("<Landscape changed=\"yes\">"));
}

// MSXML would write a document without a root as an empty file.
TEST_F(CMsXmlDocumentTest, ADocumentWithoutRootIsNotSaved)
{
    Write_File(file, Landscape_Text);
    CMsXmlDocument empty;
    EXPECT_FALSE(Save(empty, file));
    EXPECT_FALSE(Save(empty, folder / "new.xml"));

    CMsXmlDocument failed;
    ASSERT_TRUE(Load(failed, file));
    EXPECT_FALSE(Load(failed, folder / "missing.xml"));
    EXPECT_FALSE(failed.Save()) << "the failed load emptied the document";

    EXPECT_EQ(Landscape_Text, Read_File(file));
    EXPECT_EQ(std::vector<std::string>{"landscape.xml"}, Files_In(folder.Path()));
}

// The target held open by another program, which lets others read and write
// it but not delete it, cannot be replaced: the temporary file is written and
// the final move fails (Wine refuses to replace a file that is open at all).
TEST_F(CMsXmlDocumentTest, AFailedSaveLeavesThePreviousFileAsItWas)
{
    Write_File(file, Landscape_Text);
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape><Routers/></Landscape>"));
    {
        const QOR::FrontEnd::Util::unique_hfile reader(CreateFileA(
            file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_FALSE(Save(document, file));
    }
    EXPECT_EQ(Landscape_Text, Read_File(file));
    EXPECT_EQ(std::vector<std::string>{"landscape.xml"}, Files_In(folder.Path()));

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Save(document, file)) << "a read-only file is not replaced";
    EXPECT_EQ(Landscape_Text, Read_File(file));
    EXPECT_EQ(std::vector<std::string>{"landscape.xml"}, Files_In(folder.Path()));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_FALSE(Save(document, file + "\\below\\a-file.xml")) << "no folder can be made below a file";
    EXPECT_EQ(Landscape_Text, Read_File(file));
}

TEST_F(CMsXmlDocumentTest, AnUnparsableTargetIsKeptAsBackupBeforeItIsReplaced)
{
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));

    Write_File(file, "first <broken");
    ASSERT_TRUE(Save(document, file));
    EXPECT_EQ(L"Landscape", Root_Name_Of_File(file));
    EXPECT_EQ("first <broken", Read_File(file + ".bak"));

    Write_File(file, "second <broken");
    ASSERT_TRUE(Save(document, file));
    EXPECT_EQ("first <broken", Read_File(file + ".bak"));
    EXPECT_EQ("second <broken", Read_File(file + ".bak.2"));

    ASSERT_TRUE(Save(document, file)) << "a target that parses is replaced without a copy";
    EXPECT_EQ(Sorted({"landscape.xml", "landscape.xml.bak", "landscape.xml.bak.2"}), Sorted(Files_In(folder.Path())));
}

// Landscape files never carry a document type declaration; one is refused,
// whatever it declares, from a file and from text alike.
TEST_F(CMsXmlDocumentTest, ADocumentTypeDeclarationIsRefused)
{
    const std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY name \"x\">]>\n<Landscape/>";
    Write_File(file, text);
    CMsXmlDocument document;
    CString message;

    EXPECT_FALSE(Load(document, file, &message));
    EXPECT_FALSE(message.IsEmpty());
    EXPECT_FALSE(document.Is_Loaded());
    EXPECT_EQ(L"", document.To_String());

    EXPECT_FALSE(document.Load_From_String(std::wstring(text.begin(), text.end())));
    EXPECT_FALSE(document.Is_Loaded());
    EXPECT_EQ(L"", document.To_String());

    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));
    ASSERT_TRUE(Save(document, file)) << "such a target is kept like any other that does not parse";
    EXPECT_EQ(text, Read_File(file + ".bak"));
}

TEST_F(CMsXmlDocumentTest, AnExternalEntityDoesNotBringInAnotherFile)
{
    const std::string secret = "SECRET-4711-CONTENT";
    Write_File(folder / "secret.txt", secret);
    const std::string url = File_Url(folder / "secret.txt");
    const std::string hostile[] = {
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + url + "\">]>\n<Landscape>&s;</Landscape>",
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"secret.txt\">]>\n<Landscape>&s;</Landscape>",
        "<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + url + "\">]>\n<Landscape a=\"&s;\"/>",
        "<!DOCTYPE Landscape [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]>\n<Landscape/>",
        "<!DOCTYPE Landscape SYSTEM \"" + url + "\">\n<Landscape/>",
    };
    const std::wstring wideSecret(secret.begin(), secret.end());
    for (const std::string& text : hostile) {
        SCOPED_TRACE(text);
        Write_File(file, text);
        CMsXmlDocument document;
        Load(document, file);
        EXPECT_FALSE(Contains(document.To_String(), wideSecret));
        EXPECT_FALSE(Contains(Root_Text(document), wideSecret));
        const IXMLDOMElementPtr root = Root(document);
        _variant_t attribute;
        if (root && root->getAttribute(_bstr_t(L"a"), &attribute) == S_OK) {
            EXPECT_FALSE(Contains(static_cast<const wchar_t*>(_bstr_t(attribute)), wideSecret));
        }
    }
}

// Under Wine the nested "billion laughs" and an entity expanded in an
// attribute fail in the parser; the flat bomb in element content parses in
// milliseconds, but its entity references would expand to 400 million
// characters on the first read of the text.
TEST_F(CMsXmlDocumentTest, AnEntityBombNeitherRunsAwayNorYieldsHugeText)
{
    std::string nested = "<!DOCTYPE Landscape [\n<!ENTITY e0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        nested += "<!ENTITY e" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy)
            nested += "&e" + std::to_string(level - 1) + ";";
        nested += "\">\n";
    }
    nested += "]>\n<Landscape>&e9;</Landscape>";
    std::string references;
    for (int copy = 0; copy < 20000; ++copy)
        references += "&a;";
    const std::string declaration = "<!DOCTYPE Landscape [<!ENTITY a \"" + std::string(20000, 'a') +
                                    "\">\n<!ENTITY b \"" + references + "\">]>\n";
    const std::pair<const char*, std::string> bombs[] = {
        {"nested", nested},
        {"flat, in content", declaration + "<Landscape>&b;</Landscape>"},
        {"flat, in an attribute", declaration + "<Landscape a=\"&b;\"/>"},
    };

    const size_t bound = 1 << 20;
    for (const auto& bomb : bombs) {
        SCOPED_TRACE(bomb.first);
        Write_File(file, bomb.second);
        CMsXmlDocument document;
        CString message;
        if (Load(document, file, &message)) {
            EXPECT_LT(document.To_String().size(), bound);
            EXPECT_LT(Root_Text(document).size(), bound);
            _variant_t attribute;
            if (Root(document)->getAttribute(_bstr_t(L"a"), &attribute) == S_OK) {
                EXPECT_LT(_bstr_t(attribute).length(), bound);
            }
        } else {
            EXPECT_FALSE(message.IsEmpty());
            EXPECT_EQ(L"", document.To_String());
        }
    }
}

// "é" is 0xE9 in code page 1252, Wine's ANSI code page: narrow paths are ANSI.
TEST_F(CMsXmlDocumentTest, NarrowPathsAreInTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP());
    const std::string path = folder / "caf\xE9.xml";
    CMsXmlDocument document;
    ASSERT_TRUE(document.Load_From_String(L"<Landscape/>"));

    ASSERT_TRUE(Save(document, path));
    const std::wstring widePath = std::wstring(_bstr_t(folder.Path().c_str())) + L"\\caf\u00e9.xml";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(widePath.c_str()));

    CMsXmlDocument reader;
    ASSERT_TRUE(Load(reader, path));
    EXPECT_EQ(L"Landscape", Root_Name(reader));
}

// The document joins this thread to a COM apartment for its own lifetime only.
TEST_F(CMsXmlDocumentTest, ComIsInitialisedForTheDocumentsLifetime)
{
    HRESULT during = E_FAIL, afterwards = E_FAIL;
    std::thread([&] {
        {
            CMsXmlDocument document;
            EXPECT_TRUE(document.Load_From_String(L"<Landscape/>"));
            during = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        }
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards))
            CoUninitialize();
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, during) << "the thread is in a single-threaded apartment";
    EXPECT_EQ(S_OK, afterwards) << "the apartment was left";

    bool loaded = false;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        {
            CMsXmlDocument document;
            loaded = document.Load_From_String(L"<Landscape/>");
        }
        EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "still in its own apartment";
        CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_TRUE(loaded) << "a thread in the multithreaded apartment can use the document";
}
