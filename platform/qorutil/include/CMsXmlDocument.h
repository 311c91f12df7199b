#pragma once
// The client's MSXML document: an MSXML 6 DOM document with loading from and
// saving to files. See docs/xml-documents.md.
#include <string>

#include "CString.h"
#include "ComApartment.h"
#include "MsXml.h"
#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace MsXmlAdaptor {

class CMsXmlDocumentState;

class QORUTIL_API CMsXmlDocument
{
public:
    // Creates an empty document. Raises _com_error when MSXML is missing.
    CMsXmlDocument();
    virtual ~CMsXmlDocument();
    CMsXmlDocument(const CMsXmlDocument&) = delete;
    CMsXmlDocument& operator=(const CMsXmlDocument&) = delete;

    // Loads the file; false when it cannot be loaded, with the library's reason
    // in `message`. `preserveWhiteSpace` keeps the file's own layout.
    virtual bool Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace);
    virtual bool Load_From_File(const std::wstring& path, std::wstring& message, bool preserveWhiteSpace);

    // Writes the document to the file; false when it was not saved.
    virtual bool Save_To_File(const CString& path);
    virtual bool Save_To_File(const std::wstring& path);

    virtual bool Load_From_String(const std::wstring& xml);
    virtual bool Save_To_File_Deprecated(const char* path);
    // Saves to the file last loaded or saved; false when there is none.
    virtual bool Save();
    virtual bool Is_Loaded() const;
    // The whole document as XML text.
    virtual std::wstring To_String() const;

    // The MSXML document itself, for DOM work.
    IXMLDOMDocument2Ptr m_pXmlDocument;

protected:
    virtual void Pre_Load();
    virtual void Post_Load();
    virtual void Pre_Save();
    virtual void Post_Save(bool saved);

private:
    friend class CMsXmlDocumentState; // the utility library's own access
    Util::ComApartment m_com;
    bool m_loaded = false;
    std::wstring m_file;
};

}}} // namespace QOR::FrontEnd::MsXmlAdaptor
