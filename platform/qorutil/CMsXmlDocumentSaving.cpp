// CMsXmlDocument, saving: the document's text as UTF-8 with a declaration that
// says so, and the safe replacement of the target file with it.
#include "CMsXmlDocument.h"
#include "CMsXmlDocumentState.h"
#include "ReplaceFile.h"
#include "SystemText.h"
#include "XmlText.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

namespace {

// What a new document declares itself with.
const wchar_t* const New_Declaration = L" version='1.0' encoding='UTF-8'";

bool Path_Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Has_Root(IXMLDOMDocument2* document)
{
    IXMLDOMElementPtr root;
    return SUCCEEDED(document->get_documentElement(&root)) && root;
}

// The XML declaration when it is the document's first node, else null.
IXMLDOMProcessingInstructionPtr Declaration_Node(IXMLDOMNode* first)
{
    if (!first)
        return IXMLDOMProcessingInstructionPtr(); // not nullptr: ambiguous for _com_ptr_t under Clang
    DOMNodeType type = NODE_INVALID;
    Check(first->get_nodeType(&type));
    BSTR name = nullptr;
    Check(first->get_nodeName(&name));
    const _bstr_t owned(name, false);
    if (type != NODE_PROCESSING_INSTRUCTION || owned != _bstr_t(L"xml"))
        return IXMLDOMProcessingInstructionPtr();
    IXMLDOMProcessingInstructionPtr declaration;
    Check(first->QueryInterface(__uuidof(IXMLDOMProcessingInstruction), reinterpret_cast<void**>(&declaration)));
    return declaration;
}

// Every file saved here starts with a declaration that names what it is
// written in: UTF-8. MSXML under Wine writes UTF-8 whatever the declaration
// says, so a document read from ISO-8859-1 or UTF-16 would otherwise come out
// as UTF-8 bytes under its old declaration, and the next reader would garble
// it. Such a declaration is replaced (Wine refuses to change a declaration's
// data in place); a missing one is added. A declaration made with
// createProcessingInstruction is a node like any other, and Wine's MSXML drops
// it from the tree as a side effect of reading the XML text of an element (as
// tracing does), so this is done just before the text is taken.
void Declare_Utf8(IXMLDOMDocument2* document)
{
    IXMLDOMNodePtr first;
    Check(document->get_firstChild(&first));
    const IXMLDOMProcessingInstructionPtr declaration = Declaration_Node(first);
    _bstr_t wanted(New_Declaration);
    if (declaration) {
        BSTR data = nullptr;
        Check(declaration->get_data(&data));
        const _bstr_t owned(data, false);
        const wchar_t* text = owned.length() ? static_cast<const wchar_t*>(owned) : L"";
        const std::string read = Utf8_From_Wide(std::wstring_view(text, owned.length()));
        const std::string utf8 = Utf8_Declaration(read);
        if (utf8 == read)
            return;
        wanted = Wide_From_Utf8(utf8).c_str();
    }
    IXMLDOMProcessingInstructionPtr replacement;
    Check(document->createProcessingInstruction(_bstr_t(L"xml"), wanted, &replacement));
    IXMLDOMNodePtr placed;
    if (declaration)
        Check(document->replaceChild(replacement, first, &placed));
    else
        Check(document->insertBefore(replacement, first ? _variant_t(static_cast<IUnknown*>(first)) : _variant_t(),
                                     &placed));
}

// The document as MSXML writes it, into memory.
std::string Written(IXMLDOMDocument2* document)
{
    IStreamPtr stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    Check(document->save(_variant_t(static_cast<IUnknown*>(stream))));
    HGLOBAL memory = nullptr;
    Check(GetHGlobalFromStream(stream, &memory));
    STATSTG status{};
    Check(stream->Stat(&status, STATFLAG_NONAME));
    const char* bytes = static_cast<const char*>(GlobalLock(memory));
    std::string text(bytes, static_cast<size_t>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return text;
}

// A read-only file is not replaced, as Windows itself refuses to.
bool Is_Read_Only(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

} // namespace

bool CMsXmlDocument::Save_To_File(const CString& path) { return Save_To_File(SystemText::From_Ansi(path.GetString())); }

bool CMsXmlDocument::Save_To_File(const std::wstring& path)
{
    Pre_Save();
    // MSXML writes a document without a root as an empty file: never that.
    std::string bytes;
    const bool saved = Has_Root(m_pXmlDocument) && CMsXmlDocumentState::Serialize_Utf8(*this, bytes) &&
                       CMsXmlDocumentState::Write_Safely(path, bytes);
    if (saved)
        m_file = path;
    Post_Save(saved);
    return saved;
}

bool CMsXmlDocumentState::Serialize_Utf8(CMsXmlDocument& document, std::string& bytes)
{
    Declare_Utf8(document.m_pXmlDocument);
    bytes = Written(document.m_pXmlDocument);
    return Is_Declared_Utf8(bytes);
}

bool CMsXmlDocumentState::Write_Safely(const std::wstring& path, const std::string& bytes, Target target)
{
    if (path.empty() || Is_Read_Only(path))
        return false;
    // An existing file that does not load is kept before it is replaced.
    if (target == Target::Unknown && Path_Exists(path) && !Is_Loadable(path)) {
        std::wstring backup = path + L".bak";
        for (int number = 2; Path_Exists(backup); ++number)
            backup = path + L".bak." + std::to_wstring(number);
        if (!CopyFileW(path.c_str(), backup.c_str(), TRUE))
            return false;
    }
    return Util::FileSystem::Replace_File(path, bytes);
}

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
