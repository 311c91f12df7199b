#pragma once
// Small DOM helpers for the landscape storage: narrow text in and out, attributes
// written only when they carry text, children walked in document order. Every
// failing DOM call raises _com_error.
#include <functional>
#include <string>

#include "MsXml.h"

namespace Qorcdm2 { namespace Dom {

// Narrow text of an attribute; empty when the attribute is absent.
std::string Attribute(IXMLDOMElement* element, const char* name);
bool Has_Attribute(IXMLDOMElement* element, const char* name);
// Sets the attribute, or removes it when `value` is empty.
void Set_Attribute(IXMLDOMElement* element, const char* name, const std::string& value);

std::string Node_Name(IXMLDOMNode* node);
IXMLDOMElementPtr Parent_Element(IXMLDOMNode* node);

// Calls `visit` for every element child (in document order) until it returns false.
void For_Each_Child(IXMLDOMNode* parent, const std::function<bool(IXMLDOMElement*)>& visit);
// The first element child named `name`, or null.
IXMLDOMElementPtr First_Child(IXMLDOMNode* parent, const char* name);
// The first element child named `name`, appended when there is none.
IXMLDOMElementPtr Child_Or_New(IXMLDOMNode* parent, const char* name);
// A new element named `name` under `parent`, before `next` when that is given.
IXMLDOMElementPtr Add_Child(IXMLDOMNode* parent, const char* name, IXMLDOMNode* next = nullptr);

// An empty landscape: the XML declaration and a Landscape root.
void Initialize_Landscape(IXMLDOMDocument* document);
IXMLDOMElementPtr Root(IXMLDOMDocument* document);

}} // namespace Qorcdm2::Dom
