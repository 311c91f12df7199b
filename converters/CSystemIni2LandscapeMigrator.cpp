#include "CSystemIni2LandscapeMigrator.h"

#include "CMsXmlDocument.h"
#include "TraceScope.h"
#include "XmlText.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

using QOR::FrontEnd::MsXmlAdaptor::Check;

CSystemIni2LandscapeMigrator::CSystemIni2LandscapeMigrator(const CMigrationToolConfig* config) : m_config(config)
{
    QOR_TRACE_SCOPE(this);
}

const CMigrationToolConfig* CSystemIni2LandscapeMigrator::Get_Configuration()
{
    QOR_TRACE_SCOPE(this);
    return m_config;
}

bool CSystemIni2LandscapeMigrator::Ini2Xml_Persist(const std::string& xml_file)
{
    QOR_TRACE_SCOPE(this, "xml_file=%s", xml_file);
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    const CString path(xml_file.c_str());
    const IXMLDOMDocumentPtr doc = document.m_pXmlDocument;
    if (!document.Load_From_File(path, message, true)) {
        trace_scope.Warning("Cannot load Landscape from file '%s'. Message: %s\n", xml_file, message);
        if (!Ini2Xml_Initialize_Landscape_Root(doc))
            return trace_scope.Return(trace_scope.Failed("Cannot initialize landscape root '%s'.\n", xml_file));
    }
    if (!Ini2Xml_Merge_Data_into_Landscape_Xml(doc))
        return trace_scope.Return(trace_scope.Failed("Cannot merge data into landscape '%s'.\n", xml_file));
    // A simulated run changes no file; the merge itself has run and been traced.
    if (m_config->Is_Simulation()) {
        trace_scope.Data("Simulation: landscape '%s' is not saved.\n", xml_file);
        return trace_scope.Return(true);
    }
    const bool saved = document.Save_To_File(path);
    if (!saved)
        trace_scope.Error("Cannot merge data into landscape '%s'.\n", xml_file);
    return trace_scope.Return(saved);
}

bool CSystemIni2LandscapeMigrator::Ini2Xml_Initialize_Landscape_Root(const IXMLDOMDocumentPtr& doc)
{
    QOR_TRACE_SCOPE(this);
    IXMLDOMElementPtr root;
    Check(doc->createElement(_bstr_t("Landscape"), &root));
    Check(doc->putref_documentElement(root));
    IXMLDOMProcessingInstructionPtr declaration;
    Check(doc->createProcessingInstruction(_bstr_t("xml"), _bstr_t(" version='1.0' encoding='UTF-8'"), &declaration));
    IXMLDOMNodePtr inserted;
    Check(doc->insertBefore(declaration, _variant_t(static_cast<IDispatch*>(root)), &inserted));
    return trace_scope.Return(true);
}

IXMLDOMElementPtr CSystemIni2LandscapeMigrator::Landscape_Root(const IXMLDOMDocumentPtr& doc, TraceScope& trace_scope)
{
    IXMLDOMElementPtr root;
    Check(doc->get_documentElement(&root));
    if (!root) {
        trace_scope.Error("Invalid document root element detected.\n");
        return IXMLDOMElementPtr();
    }
    const std::string rootName = Node_Name(root);
    if (rootName != "Landscape") {
        trace_scope.Error("Root element was not Landscape as expected, but '%s'.\n", rootName);
        return IXMLDOMElementPtr();
    }
    return root;
}

std::string CSystemIni2LandscapeMigrator::To_Narrow(const _bstr_t& text)
{
    // _bstr_t converts with the thread's ANSI code page.
    return text.length() ? std::string(static_cast<const char*>(text)) : std::string();
}

std::string CSystemIni2LandscapeMigrator::Xml_Text(const IXMLDOMNodePtr& node)
{
    if (!node)
        return "null";
    BSTR xml = nullptr;
    Check(node->get_xml(&xml));
    return To_Narrow(_bstr_t(xml, false));
}

std::string CSystemIni2LandscapeMigrator::Node_Name(const IXMLDOMNodePtr& node)
{
    BSTR name = nullptr;
    Check(node->get_nodeName(&name));
    return To_Narrow(_bstr_t(name, false));
}

bool CSystemIni2LandscapeMigrator::Is_Element(const IXMLDOMNodePtr& node)
{
    DOMNodeType type = NODE_INVALID;
    Check(node->get_nodeType(&type));
    return type == NODE_ELEMENT;
}

IXMLDOMNodePtr CSystemIni2LandscapeMigrator::First_Child(const IXMLDOMNodePtr& node)
{
    IXMLDOMNodePtr child;
    Check(node->get_firstChild(&child));
    return child;
}

IXMLDOMNodePtr CSystemIni2LandscapeMigrator::Next_Sibling(const IXMLDOMNodePtr& node)
{
    IXMLDOMNodePtr next;
    Check(node->get_nextSibling(&next));
    return next;
}

IXMLDOMElementPtr CSystemIni2LandscapeMigrator::Find_Main_Element(const IXMLDOMElementPtr& root, const _bstr_t& tag)
{
    const std::string wanted = To_Narrow(tag);
    for (IXMLDOMNodePtr child = First_Child(root); child; child = Next_Sibling(child))
        if (Is_Element(child) && Node_Name(child) == wanted)
            return child;
    return IXMLDOMElementPtr();
}

IXMLDOMElementPtr CSystemIni2LandscapeMigrator::Append_Element(const IXMLDOMNodePtr& parent, const _bstr_t& tag)
{
    IXMLDOMDocumentPtr owner;
    Check(parent->get_ownerDocument(&owner));
    IXMLDOMElementPtr element;
    Check(owner->createElement(tag, &element));
    IXMLDOMNodePtr appended;
    Check(parent->appendChild(element, &appended));
    return appended;
}

void CSystemIni2LandscapeMigrator::Set_Attribute(const IXMLDOMElementPtr& element, const char* name,
                                                 const std::string& value)
{
    if (value.empty())
        return;
    Check(element->setAttribute(_bstr_t(name), _variant_t(MsXmlAdaptor::Xml_Text(value))));
}

std::string CSystemIni2LandscapeMigrator::Read_Attribute(const IXMLDOMNodePtr& element, const char* name)
{
    IXMLDOMNamedNodeMapPtr attributes;
    Check(element->get_attributes(&attributes));
    IXMLDOMNodePtr attribute;
    Check(attributes->getNamedItem(_bstr_t(name), &attribute));
    _variant_t value;
    Check(attribute->get_nodeValue(&value)); // a missing attribute is a null pointer here
    return value.vt == VT_BSTR ? To_Narrow(_bstr_t(value.bstrVal)) : std::string();
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
