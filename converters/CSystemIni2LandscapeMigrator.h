#pragma once
#include <string>

#include "CMigrationToolConfig.h"
#include "MsXml.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// Base of the converters that turn a side file of the old storage into landscape
// XML: load the landscape file, give it a root when it has none, let the derived
// class merge its data, save. A failing DOM call raises _com_error, and nothing
// here catches it.
class CSystemIni2LandscapeMigrator
{
public:
    explicit CSystemIni2LandscapeMigrator(const CMigrationToolConfig* config);

    virtual bool Do_Migration() = 0;
    virtual bool Ini2Xml_Merge_Data_into_Landscape_Xml(const IXMLDOMDocumentPtr& doc) = 0;

    const CMigrationToolConfig* Get_Configuration();

    bool Ini2Xml_Persist(const std::string& xml_file);
    bool Ini2Xml_Initialize_Landscape_Root(const IXMLDOMDocumentPtr& doc);

protected:
    ~CSystemIni2LandscapeMigrator() = default;

    // The document's Landscape root, or null after tracing why there is none,
    // through the scope of the converter's merge.
    static IXMLDOMElementPtr Landscape_Root(const IXMLDOMDocumentPtr& doc, class TraceScope& trace_scope);

    // DOM conventions shared by the converters.
    static std::string To_Narrow(const _bstr_t& text);
    static std::string Xml_Text(const IXMLDOMNodePtr& node); // "null" for no node
    static std::string Node_Name(const IXMLDOMNodePtr& node);
    static bool Is_Element(const IXMLDOMNodePtr& node);
    static IXMLDOMNodePtr First_Child(const IXMLDOMNodePtr& node);
    static IXMLDOMNodePtr Next_Sibling(const IXMLDOMNodePtr& node);
    // The first element child named exactly `tag`, or null.
    static IXMLDOMElementPtr Find_Main_Element(const IXMLDOMElementPtr& root, const _bstr_t& tag);
    // A new element made by the parent's owner document, appended as its last child.
    static IXMLDOMElementPtr Append_Element(const IXMLDOMNodePtr& parent, const _bstr_t& tag);
    // Writes the attribute only when `value` is not empty.
    static void Set_Attribute(const IXMLDOMElementPtr& element, const char* name, const std::string& value);
    // The attribute's value; raises _com_error (E_POINTER) when it is absent.
    static std::string Read_Attribute(const IXMLDOMNodePtr& element, const char* name);

private:
    const CMigrationToolConfig* m_config;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
