#include "CLandscapeXmlDocument.h"

#include "CLandscapeStore.h"
#include "LandscapeDom.h"

namespace Qorcdm2 {

namespace {

std::wstring Widen(const CString& text)
{
    const _bstr_t wide(text.GetString());
    return wide.length() ? std::wstring(static_cast<const wchar_t*>(wide), wide.length()) : std::wstring();
}

IXMLDOMElementPtr Include_Index0(IXMLDOMDocument* document, bool create)
{
    if (!Dom::Root(document) && create) // an empty document becomes an empty landscape
        Dom::Initialize_Landscape(document);
    const IXMLDOMElementPtr root = Dom::Root(document);
    if (!root)
        return nullptr;
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

} // namespace

CLandscapeXmlDocument::CLandscapeXmlDocument(bool create_empty, std::shared_ptr<IFileCache> file_cache)
    : m_file_cache(std::move(file_cache))
{
    if (create_empty)
        Dom::Initialize_Landscape(m_pXmlDocument);
}

CLandscapeXmlDocument::~CLandscapeXmlDocument() = default;

bool CLandscapeXmlDocument::Load_From_File(const CString& path, CString& message, bool preserveWhiteSpace)
{
    if (CLandscapeStore* store = CLandscapeStore::Find_Open(path.GetString())) {
        Pre_Load();
        Adopt(store->Document(), Widen(path));
        message.Empty();
        Post_Load();
        return true;
    }
    return CMsXmlDocument::Load_From_File(path, message, preserveWhiteSpace);
}

// Whatever way this document was saved, an open store of the same file now
// holds what the file holds.
void CLandscapeXmlDocument::Post_Save(bool saved)
{
    if (!saved)
        return;
    const _bstr_t path(File().c_str());
    if (CLandscapeStore* store = CLandscapeStore::Find_Open(static_cast<const char*>(path)))
        store->Saved_By_Document(m_pXmlDocument);
}

CString CLandscapeXmlDocument::GetIncludeIndex0Url() const
{
    const IXMLDOMElementPtr include = Include_Index0(m_pXmlDocument, false);
    return include ? CString(Dom::Attribute(include, "url").c_str()) : CString();
}

void CLandscapeXmlDocument::Set_Server_Include_URL(const CString& url)
{
    Dom::Set_Attribute(Include_Index0(m_pXmlDocument, true), "url", url.GetString());
}

} // namespace Qorcdm2
