#include "LandscapeDocuments.h"

#include <algorithm>
#include <vector>

#include "CLandscapeStore.h"
#include "CMsXmlDocumentState.h"
#include "XmlText.h"

namespace Qorcdm2 {

namespace {

// Documents attached to a store of this process.
std::vector<CLandscapeXmlDocument*>& Attached()
{
    static std::vector<CLandscapeXmlDocument*> documents;
    return documents;
}

} // namespace

void LandscapeDocuments::Attach(CLandscapeXmlDocument& document, CLandscapeStore* store)
{
    if (!document.m_store)
        Attached().push_back(&document);
    document.m_store = store;
}

void LandscapeDocuments::Detach(CLandscapeXmlDocument& document)
{
    if (!document.m_store)
        return;
    document.m_store = nullptr;
    auto& documents = Attached();
    documents.erase(std::remove(documents.begin(), documents.end(), &document), documents.end());
}

void LandscapeDocuments::Detach_From_Store(CLandscapeXmlDocument& document)
{
    using QOR::FrontEnd::MsXmlAdaptor::Check;
    using QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocumentState;
    if (!document.m_store)
        return;
    const std::wstring text = QOR::FrontEnd::MsXmlAdaptor::Wide_From_Utf8(document.m_store->Text());
    const std::wstring file = CMsXmlDocumentState::File(document);
    Detach(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    Check(document.m_pXmlDocument->put_preserveWhiteSpace(VARIANT_TRUE));
    Check(document.m_pXmlDocument->loadXML(_bstr_t(text.c_str()), &loaded));
    CMsXmlDocumentState::Adopt(document, document.m_pXmlDocument, file);
}

void LandscapeDocuments::Store_Closing(CLandscapeStore* store)
{
    const std::vector<CLandscapeXmlDocument*> documents = Attached();
    for (CLandscapeXmlDocument* document : documents)
        if (document->m_store == store)
            Detach_From_Store(*document);
}

} // namespace Qorcdm2
