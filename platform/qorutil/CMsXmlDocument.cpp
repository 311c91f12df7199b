// CMsXmlDocument: the document and its loading; saving is in
// CMsXmlDocumentSaving.cpp.
#include "CMsXmlDocument.h"

#include <shlwapi.h>

#include <map>
#include <mutex>

#include "CMsXmlDocumentState.h"
#include "SystemText.h"
#include "WholeFile.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

namespace {

CString Narrow(const std::wstring& text)
{
    const _bstr_t narrow(text.c_str());
    return CString(static_cast<const char*>(narrow));
}

bool Path_Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

// The file's bytes as a stream, for MSXML to take apart as it would the file:
// handed the name, Wine's MSXML binds it as a URL, which makes a window and
// costs more than the parse. Null when the file cannot be read.
IStreamPtr File_Stream(const std::wstring& path)
{
    std::string bytes;
    if (!WholeFile::Read(path, bytes))
        return IStreamPtr(); // `return nullptr` is ambiguous to Clang: _com_ptr_t converts from several pointer types
    return IStreamPtr(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())),
                      false);
}

// Why `path` cannot be opened at all (ERROR_FILE_NOT_FOUND, ...); 0 when it is there.
DWORD Why_Absent(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
}

// MSXML's reason for a file that is not there depends only on why it is not,
// and learning it costs MSXML a URL binding with a window of its own: each
// reason is asked for once in a process and given again from here.
class AbsentFileReasons
{
public:
    bool Known(DWORD why, std::wstring& reason)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        const auto found = m_reasons.find(why);
        if (found != m_reasons.end())
            reason = found->second;
        return found != m_reasons.end();
    }
    void Learn(DWORD why, const std::wstring& reason)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        m_reasons.emplace(why, reason);
    }

private:
    std::mutex m_lock;
    std::map<DWORD, std::wstring> m_reasons;
};

AbsentFileReasons& Absent_File_Reasons()
{
    static AbsentFileReasons reasons;
    return reasons;
}

// What a failed load leaves: no document, and MSXML's reason (or ours, when it
// gives none).
bool Failed_Load(IXMLDOMDocument2* document, const std::wstring& path, std::wstring& message)
{
    // A failed load from a file leaves the document empty; one from a stream
    // keeps what was there, so it goes.
    Remove_All_Children(document);
    message = Parse_Error_Text(document);
    if (message.empty())
        message = Path_Exists(path) ? L"The file could not be parsed." : L"The file does not exist.";
    return false;
}

// Loads `path` into `document`; on failure returns false and the reason.
bool Load_Into(IXMLDOMDocument2* document, const std::wstring& path, std::wstring& message)
{
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (const IStreamPtr stream = File_Stream(path)) {
        const HRESULT hr = document->load(_variant_t(static_cast<IUnknown*>(stream)), &loaded);
        if (SUCCEEDED(hr) && loaded == VARIANT_TRUE)
            return !Refuse_Document_Type(document, message);
        return Failed_Load(document, path, message);
    }
    const DWORD absent = Why_Absent(path);
    if (absent && Absent_File_Reasons().Known(absent, message)) {
        Remove_All_Children(document);
        return false;
    }
    const HRESULT hr = document->load(_variant_t(path.c_str()), &loaded);
    if (SUCCEEDED(hr) && loaded == VARIANT_TRUE)
        return !Refuse_Document_Type(document, message);
    Failed_Load(document, path, message);
    if (absent)
        Absent_File_Reasons().Learn(absent, message);
    return false;
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
    const bool loaded = Load_From_File(SystemText::From_Ansi(path.GetString()), wideMessage, preserveWhiteSpace);
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

bool CMsXmlDocument::Save_To_File_Deprecated(const char* path) { return path && Save_To_File(CString(path)); }

bool CMsXmlDocument::Save() { return !m_file.empty() && Save_To_File(std::wstring(m_file)); }

bool CMsXmlDocument::Is_Loaded() const { return m_loaded; }

std::wstring CMsXmlDocument::To_String() const
{
    BSTR xml = nullptr;
    Check(m_pXmlDocument->get_xml(&xml));
    const _bstr_t owned(xml, false);
    return owned.length() ? std::wstring(static_cast<const wchar_t*>(owned), owned.length()) : std::wstring();
}

void CMsXmlDocument::Pre_Load() {}
void CMsXmlDocument::Post_Load() {}
void CMsXmlDocument::Pre_Save() {}
void CMsXmlDocument::Post_Save(bool) {}

bool CMsXmlDocumentState::Is_Loadable(const std::wstring& path)
{
    std::wstring ignored;
    return Load_Into(Create_Document(), path, ignored);
}

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
