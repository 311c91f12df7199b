#pragma once
// An MSXML 6 DOM document with safe loading and saving. See docs/xml-documents.md.
#include <string>

#include "CString.h"
#include "ComApartment.h"
#include "MsXml.h"
#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

class QORUTIL_API CMsXmlDocument
{
public:
    // Creates an empty DOMDocument60 (initialising COM on this thread for the
    // document's lifetime when nobody has). Raises _com_error when MSXML is missing.
    CMsXmlDocument();
    virtual ~CMsXmlDocument();
    CMsXmlDocument(const CMsXmlDocument&) = delete;
    CMsXmlDocument& operator=(const CMsXmlDocument&) = delete;

    // Loads the file; false when it is missing or malformed, with MSXML's reason
    // in `message`. `preserveWhiteSpace` keeps the file's own layout. A document
    // with a document type declaration is refused and left empty.
    virtual bool Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace);
    virtual bool Load_From_File(const std::wstring& path, std::wstring& message, bool preserveWhiteSpace);

    // Writes the document as UTF-8 with a matching declaration, whatever it was
    // read as, into a temporary file beside the target and then replaces the
    // target, so that a failure leaves the previous file as it was. A target that
    // exists but does not parse is first copied to "<path>.bak" (".bak.2",
    // ".bak.3", ... when taken). A document without a root element and a
    // read-only target are not saved.
    virtual bool Save_To_File(const CString& path);
    virtual bool Save_To_File(const std::wstring& path);

    // What a writer knows of the file it replaces: one that read or wrote the
    // file itself knows that it loads, and spares the parse of the whole file
    // that decides whether it needs a backup.
    enum class Target
    {
        Unknown,
        Known_To_Load
    };

    // Replaces `path` with `bytes` the way Save_To_File does: the folders are
    // created, a read-only target is refused, an unreadable one is backed up,
    // and the target is replaced only once a temporary file has been proven to
    // hold every byte (FileSystem::Replace_File). False, with the target as it
    // was, when any step fails.
    static bool Write_Safely(const std::wstring& path, const std::string& bytes, Target target = Target::Unknown);

    // The document as its file will hold it: UTF-8, declared as such (a
    // declaration of another encoding is changed to say UTF-8, a missing one is
    // added). False when the text cannot be had or is not what it declares.
    bool Serialize_Utf8(std::string& bytes);

    virtual bool Load_From_String(const std::wstring& xml);

    // Kept for older callers; saves exactly as Save_To_File does.
    virtual bool Save_To_File_Deprecated(const char* path);

    // Saves to the file last loaded or saved; false when there is none.
    virtual bool Save();

    virtual bool Is_Loaded() const;

    // The whole document as XML text.
    virtual std::wstring To_String() const;

    // The MSXML document itself, for DOM work.
    IXMLDOMDocument2Ptr m_pXmlDocument;

protected:
    // Makes `document` this object's document, as though it had been loaded
    // from `path` (for a document shared with another owner of the same file).
    void Adopt(IXMLDOMDocument2Ptr document, const std::wstring& path);
    // The file last loaded or saved; empty when there is none.
    const std::wstring& File() const { return m_file; }

    virtual void Pre_Load();
    virtual void Post_Load();
    virtual void Pre_Save();
    virtual void Post_Save(bool saved);

private:
    // True when `path` loads as a document of its own (the test before a backup).
    static bool Is_Loadable(const std::wstring& path);

    // This thread's COM membership for the document's lifetime. The destructor
    // releases the document before it ends; a throwing constructor still balances it.
    Util::ComApartment m_com;
    bool m_loaded = false;
    std::wstring m_file;
};

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
