#include "ComThrower.h"

#include "CMsXmlDocument.h"
#include "MsXml.h"

using QOR::FrontEnd::MsXmlAdaptor::Check;

void Com_Thrower_Check(HRESULT hr) { Check(hr); }

void Com_Thrower_Create_Element(const wchar_t* name)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    IXMLDOMElementPtr element;
    Check(document.m_pXmlDocument->createElement(_bstr_t(name), &element));
}

void Com_Thrower_Use_Null_Element()
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    IXMLDOMElementPtr root;
    Check(document.m_pXmlDocument->get_documentElement(&root)); // S_FALSE: an empty document has none
    root->setAttribute(_bstr_t(L"name"), _variant_t(L"value"));
}
