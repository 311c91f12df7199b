#pragma once
// What the client's own libraries do with a document beyond its members: save
// a text the way a document is saved, take a document's text as its file will
// hold it, and make a document their own as though it had been loaded.
#include <string>

#include "CMsXmlDocument.h"
#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

class QORUTIL_API CMsXmlDocumentState
{
public:
    // What a writer knows of the file it replaces: one that read or wrote the
    // file itself knows that it loads, and spares the parse of the whole file
    // that decides whether it needs a backup.
    enum class Target
    {
        Unknown,
        Known_To_Load
    };

    // Replaces `path` with `bytes` the way Save_To_File does: the folders are
    // created, a read-only target is refused, an existing one that does not
    // load is first copied to "<path>.bak" (".bak.2", ".bak.3", ... when
    // taken), and the target is replaced only once a temporary file has been
    // proven to hold every byte (Replace_File). False, with the target as it
    // was, when any step fails.
    static bool Write_Safely(const std::wstring& path, const std::string& bytes, Target target = Target::Unknown);

    // The document as its file will hold it: UTF-8, declared as such (a
    // declaration of another encoding is changed to say UTF-8, a missing one is
    // added). False when the text cannot be had or is not what it declares.
    static bool Serialize_Utf8(CMsXmlDocument& document, std::string& bytes);

    // Makes `xml` the document of `document`, as though it had been loaded
    // from `path` (for a document shared with another owner of the same file).
    static void Adopt(CMsXmlDocument& document, const IXMLDOMDocument2Ptr& xml, const std::wstring& path)
    {
        document.m_pXmlDocument = xml;
        document.m_file = path;
        document.m_loaded = true;
    }
    // The file last loaded or saved; empty when there is none.
    static const std::wstring& File(const CMsXmlDocument& document) { return document.m_file; }

    // True when `path` loads as a document of its own (the test before a backup).
    static bool Is_Loadable(const std::wstring& path);
};

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
