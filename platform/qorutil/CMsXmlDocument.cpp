#include "CMsXmlDocument.h"

#include <shlobj.h>

#include <vector>

#include "UniqueHandle.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

namespace {

std::wstring Widen(const char* text)
{
    const _bstr_t wide(text);
    return wide.length() ? std::wstring(static_cast<const wchar_t*>(wide), wide.length()) : std::wstring();
}

CString Narrow(const std::wstring& text)
{
    const _bstr_t narrow(text.c_str());
    return CString(static_cast<const char*>(narrow));
}

bool Path_Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh DOMDocument60 that neither fetches external resources nor accepts a
// document type declaration.
IXMLDOMDocument2Ptr Create_Document()
{
    IXMLDOMDocument2Ptr document;
    Check(document.CreateInstance(__uuidof(DOMDocument60), nullptr, CLSCTX_INPROC_SERVER));
    Check(document->put_async(VARIANT_FALSE));
    Check(document->put_resolveExternals(VARIANT_FALSE));
    Check(document->put_validateOnParse(VARIANT_FALSE));
    Check(document->setProperty(_bstr_t(L"ProhibitDTD"), _variant_t(true)));
    return document;
}

std::wstring Parse_Error_Text(IXMLDOMDocument2* document)
{
    IXMLDOMParseErrorPtr error;
    BSTR reason = nullptr;
    if (SUCCEEDED(document->get_parseError(&error)) && error && SUCCEEDED(error->get_reason(&reason)) && reason) {
        const _bstr_t owned(reason, false);
        if (owned.length())
            return std::wstring(static_cast<const wchar_t*>(owned), owned.length());
    }
    return std::wstring();
}

void Remove_All_Children(IXMLDOMDocument2* document)
{
    IXMLDOMNodePtr child;
    while (SUCCEEDED(document->get_firstChild(&child)) && child) {
        IXMLDOMNodePtr removed;
        Check(document->removeChild(child, &removed));
    }
}

// MSXML is told to prohibit DTDs, but Wine's MSXML ignores that: it parses the
// declaration and keeps entity references in the tree, which expand only when
// text is read. Its parser stops nested entity bombs, but 80 KB of flat
// declarations load in milliseconds and then read as 400 million characters.
// Landscape files never carry a document type declaration, so a loaded
// document that has one is refused and emptied before anyone reads it. Asking
// for the doctype node costs nothing next to the parse itself.
bool Refuse_Document_Type(IXMLDOMDocument2* document, std::wstring& message)
{
    IXMLDOMDocumentTypePtr doctype;
    Check(document->get_doctype(&doctype));
    if (!doctype)
        return false;
    Remove_All_Children(document);
    message = L"The document has a document type declaration, which is not accepted.";
    return true;
}

// Loads `path` into `document`; on failure returns false and the reason.
bool Load_Into(IXMLDOMDocument2* document, const std::wstring& path, std::wstring& message)
{
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document->load(_variant_t(path.c_str()), &loaded);
    if (SUCCEEDED(hr) && loaded == VARIANT_TRUE)
        return !Refuse_Document_Type(document, message);
    message = Parse_Error_Text(document);
    if (message.empty())
        message = Path_Exists(path) ? L"The file could not be parsed." : L"The file does not exist.";
    return false;
}

bool Has_Root(IXMLDOMDocument2* document)
{
    IXMLDOMElementPtr root;
    return SUCCEEDED(document->get_documentElement(&root)) && root;
}

// Keeps an unreadable file that is about to be replaced.
bool Back_Up_Unparseable(const std::wstring& path)
{
    if (!Path_Exists(path))
        return true;
    std::wstring ignored;
    if (Load_Into(Create_Document(), path, ignored))
        return true;
    std::wstring backup = path + L".bak";
    for (int number = 2; Path_Exists(backup); ++number)
        backup = path + L".bak." + std::to_wstring(number);
    return CopyFileW(path.c_str(), backup.c_str(), TRUE) != FALSE;
}

// A read-only file is not replaced, as Windows itself refuses to.
bool Is_Read_Only(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::wstring Folder_Of(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? L"." : path.substr(0, separator + 1);
}

// Creates the folders of the target's path that are missing: a new profile has
// no client folder until the first landscape is saved into it.
bool Create_Folders_Of(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(Folder_Of(path).c_str(), ARRAYSIZE(full), full, nullptr);
    if (length == 0 || length >= ARRAYSIZE(full))
        return false;
    const int result = SHCreateDirectoryExW(nullptr, full, nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

// Every file saved here starts with the XML declaration. A declaration made with
// createProcessingInstruction is a node of the tree like any other, and Wine's
// MSXML drops it from the tree as a side effect of reading the XML text of any
// element of the document (get_xml on an element, as tracing does); a document
// that declared itself at load keeps its declaration. So the declaration is
// checked for just before the save.
void Ensure_Declaration(IXMLDOMDocument2* document)
{
    IXMLDOMNodePtr first;
    Check(document->get_firstChild(&first));
    if (first) {
        DOMNodeType type = NODE_INVALID;
        Check(first->get_nodeType(&type));
        BSTR name = nullptr;
        Check(first->get_nodeName(&name));
        const _bstr_t owned(name, false);
        if (type == NODE_PROCESSING_INSTRUCTION && owned == _bstr_t(L"xml"))
            return;
    }
    IXMLDOMProcessingInstructionPtr declaration;
    Check(document->createProcessingInstruction(_bstr_t(L"xml"), _bstr_t(L" version='1.0' encoding='UTF-8'"),
                                                &declaration));
    IXMLDOMNodePtr inserted;
    Check(document->insertBefore(declaration, first ? _variant_t(static_cast<IUnknown*>(first)) : _variant_t(),
                                 &inserted));
}

// A temporary file beside the target (same volume, so the final move is a rename).
struct TemporaryFile
{
    std::wstring path;

    explicit TemporaryFile(const std::wstring& target)
    {
        wchar_t name[MAX_PATH] = {};
        if (GetTempFileNameW(Folder_Of(target).c_str(), L"qor", 0, name))
            path = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path.empty())
            DeleteFileW(path.c_str());
    }
    void Committed() { path.clear(); }
};

// The rename below is atomic, but it renames only what reached the disk:
// without this, a crash right after the move could leave the target empty.
// MOVEFILE_WRITE_THROUGH flushes only a move that has to copy.
bool Flush_To_Disk(const std::wstring& path)
{
    const Util::unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.get());
}

} // namespace

CMsXmlDocument::CMsXmlDocument()
{
    m_com.Initialize(); // a thread already in the multithreaded apartment stays there
    m_pXmlDocument = Create_Document();
}

CMsXmlDocument::~CMsXmlDocument()
{
    // The document must be gone before this thread's COM use may end.
    m_pXmlDocument = nullptr;
}

bool CMsXmlDocument::Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace)
{
    std::wstring wideMessage;
    const bool loaded = Load_From_File(Widen(path), wideMessage, preserveWhiteSpace);
    message = Narrow(wideMessage);
    return loaded;
}

bool CMsXmlDocument::Load_From_File(const std::wstring& path, std::wstring& message, bool preserveWhiteSpace)
{
    Pre_Load();
    message.clear();
    Check(m_pXmlDocument->put_preserveWhiteSpace(preserveWhiteSpace ? VARIANT_TRUE : VARIANT_FALSE));
    m_loaded = Load_Into(m_pXmlDocument, path, message);
    if (m_loaded)
        m_file = path;
    Post_Load();
    return m_loaded;
}

bool CMsXmlDocument::Save_To_File(const CString& path) { return Save_To_File(Widen(path)); }

bool CMsXmlDocument::Save_To_File(const std::wstring& path)
{
    Pre_Save();
    // MSXML writes a document without a root as an empty file: never that.
    bool saved = false;
    if (Has_Root(m_pXmlDocument)) {
        saved = Write_Safely(path, [this](const std::wstring& temporary) {
            Ensure_Declaration(m_pXmlDocument);
            return SUCCEEDED(m_pXmlDocument->save(_variant_t(temporary.c_str())));
        });
    }
    if (saved)
        m_file = path;
    Post_Save(saved);
    return saved;
}

bool CMsXmlDocument::Write_Safely(const std::wstring& path, const std::function<bool(const std::wstring&)>& write)
{
    if (path.empty() || Is_Read_Only(path) || !Create_Folders_Of(path))
        return false;
    TemporaryFile temporary(path);
    if (temporary.path.empty() || !Back_Up_Unparseable(path) || !write(temporary.path) ||
        !Flush_To_Disk(temporary.path) ||
        !MoveFileExW(temporary.path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    temporary.Committed();
    return true;
}

bool CMsXmlDocument::Load_From_String(const std::wstring& xml)
{
    Pre_Load();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    std::wstring refusal;
    m_loaded = SUCCEEDED(m_pXmlDocument->loadXML(_bstr_t(xml.c_str()), &loaded)) && loaded == VARIANT_TRUE &&
               !Refuse_Document_Type(m_pXmlDocument, refusal);
    Post_Load();
    return m_loaded;
}

bool CMsXmlDocument::Save_To_File_Deprecated(const char* path)
{
    return path && Save_To_File(CString(path));
}

bool CMsXmlDocument::Save() { return !m_file.empty() && Save_To_File(std::wstring(m_file)); }

bool CMsXmlDocument::Is_Loaded() const { return m_loaded; }

std::wstring CMsXmlDocument::To_String() const
{
    BSTR xml = nullptr;
    Check(m_pXmlDocument->get_xml(&xml));
    const _bstr_t owned(xml, false);
    return owned.length() ? std::wstring(static_cast<const wchar_t*>(owned), owned.length()) : std::wstring();
}

void CMsXmlDocument::Adopt(IXMLDOMDocument2Ptr document, const std::wstring& path)
{
    m_pXmlDocument = document;
    m_file = path;
    m_loaded = true;
}

void CMsXmlDocument::Pre_Load() {}
void CMsXmlDocument::Post_Load() {}
void CMsXmlDocument::Pre_Save() {}
void CMsXmlDocument::Post_Save(bool) {}

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
