#include "CLandscapeXmlDocument.h"

#include "CLandscapeStore.h"
#include "CMsXmlDocumentState.h"
#include "LandscapeDocuments.h"
#include "LandscapeDom.h"
#include "XmlText.h"

namespace Qorcdm2 {

using QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocumentState;

namespace {

std::string Narrow(const std::wstring& text)
{
    const _bstr_t narrow(text.c_str());
    return narrow.length() ? std::string(static_cast<const char*>(narrow)) : std::string();
}

IXMLDOMElementPtr Include_Index0(IXMLDOMDocument* document, bool create)
{
    if (!Dom::Root(document) && create) // an empty document becomes an empty landscape
        Dom::Initialize_Landscape(document);
    const IXMLDOMElementPtr root = Dom::Root(document);
    if (!root)
        return IXMLDOMElementPtr();
    IXMLDOMElementPtr includes = Dom::First_Child(root, "Includes");
    if (!includes && create) { // includes come first, where a reader looks for them
        IXMLDOMNodePtr first;
        QOR::FrontEnd::MsXmlAdaptor::Check(root->get_firstChild(&first));
        includes = Dom::Add_Child(root, "Includes", first);
    }
    IXMLDOMElementPtr include;
    if (includes)
        Dom::For_Each_Child(includes, [&](IXMLDOMElement* candidate) {
            if (Dom::Node_Name(candidate) == "Include" && Dom::Attribute(candidate, "index") == "0")
                include = candidate;
            return !include;
        });
    if (!include && create) {
        include = Dom::Add_Child(includes, "Include");
        Dom::Set_Attribute(include, "index", "0");
    }
    return include;
}

// A Landscape root without attributes or children, as a new document starts.
bool Is_Empty_Landscape(IXMLDOMDocument* document)
{
    const IXMLDOMElementPtr root = Dom::Root(document);
    if (!root || Dom::Node_Name(root) != "Landscape")
        return false;
    VARIANT_BOOL children = VARIANT_TRUE;
    IXMLDOMNamedNodeMapPtr attributes;
    long count = 1;
    QOR::FrontEnd::MsXmlAdaptor::Check(root->hasChildNodes(&children));
    QOR::FrontEnd::MsXmlAdaptor::Check(root->get_attributes(&attributes));
    QOR::FrontEnd::MsXmlAdaptor::Check(attributes->get_length(&count));
    return children == VARIANT_FALSE && count == 0;
}

} // namespace

CLandscapeXmlDocument::CLandscapeXmlDocument(bool create_empty, std::shared_ptr<IFileCache> file_cache)
    : m_file_cache(std::move(file_cache))
{
    if (create_empty)
        Dom::Initialize_Landscape(m_pXmlDocument);
}

CLandscapeXmlDocument::~CLandscapeXmlDocument() { LandscapeDocuments::Detach(*this); }

bool CLandscapeXmlDocument::Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace)
{
    LandscapeDocuments::Detach(*this);
    if (CLandscapeStore* store = CLandscapeStore::Find_Open(path.GetString())) {
        Pre_Load();
        CMsXmlDocumentState::Adopt(*this, m_pXmlDocument, std::wstring(_bstr_t(path.GetString())));
        LandscapeDocuments::Attach(*this, store);
        message.Empty();
        Post_Load();
        return true;
    }
    return CMsXmlDocument::Load_From_File(path, message, preserveWhiteSpace);
}

bool CLandscapeXmlDocument::Load_From_String(const std::wstring& xml)
{
    LandscapeDocuments::Detach(*this);
    return CMsXmlDocument::Load_From_String(xml);
}

bool CLandscapeXmlDocument::Save_To_File(const std::wstring& path)
{
    // An empty landscape adds nothing to what a storage holds for the same file,
    // and writing it over the file would lose what the storage has not written
    // yet (the migration makes sure that its new file exists this way).
    if (!m_store && Is_Empty_Landscape(m_pXmlDocument))
        if (CLandscapeStore* store = CLandscapeStore::Find_Open(Narrow(path)); store && store->Has_Unsaved_Changes())
            LandscapeDocuments::Attach(*this, store);
    if (!m_store)
        return CMsXmlDocument::Save_To_File(path);
    Pre_Save();
    const bool saved = m_store->Save_To(Narrow(path));
    Post_Save(saved);
    return saved;
}

std::wstring CLandscapeXmlDocument::To_String() const
{
    return m_store ? QOR::FrontEnd::MsXmlAdaptor::Wide_From_Utf8(m_store->Text()) : CMsXmlDocument::To_String();
}

// Whatever way a document that is not attached was saved, an open store of the
// same file now holds what the file holds.
void CLandscapeXmlDocument::Post_Save(bool saved)
{
    if (!saved || m_store)
        return;
    if (CLandscapeStore* store = CLandscapeStore::Find_Open(Narrow(CMsXmlDocumentState::File(*this))))
        store->File_Replaced();
}

CString CLandscapeXmlDocument::GetIncludeIndex0Url() const
{
    if (m_store)
        return CString(m_store->Include_Url().c_str());
    const IXMLDOMElementPtr include = Include_Index0(m_pXmlDocument, false);
    return include ? CString(Dom::Attribute(include, "url").c_str()) : CString();
}

void CLandscapeXmlDocument::Set_Server_Include_URL(const CString& url)
{
    if (m_store)
        m_store->Set_Include_Url(url.GetString());
    else
        Dom::Set_Attribute(Include_Index0(m_pXmlDocument, true), "url", url.GetString());
}

} // namespace Qorcdm2
