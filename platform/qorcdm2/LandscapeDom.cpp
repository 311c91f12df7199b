#include "LandscapeDom.h"

#include "XmlText.h"

namespace Qorcdm2 { namespace Dom {

using QOR::FrontEnd::MsXmlAdaptor::Check;

namespace {

std::string Narrow(BSTR text)
{
    const _bstr_t owned(text, false);
    const char* narrow = owned.length() ? static_cast<const char*>(owned) : nullptr;
    return narrow ? std::string(narrow) : std::string();
}

} // namespace

std::string Attribute(IXMLDOMElement* element, const char* name)
{
    _variant_t value;
    Check(element->getAttribute(_bstr_t(name), &value));
    if (value.vt != VT_BSTR)
        return std::string(); // absent: VT_NULL
    const _bstr_t text(value.bstrVal);
    return text.length() ? std::string(static_cast<const char*>(text)) : std::string();
}

bool Has_Attribute(IXMLDOMElement* element, const char* name)
{
    IXMLDOMAttributePtr attribute;
    Check(element->getAttributeNode(_bstr_t(name), &attribute));
    return attribute != nullptr;
}

void Set_Attribute(IXMLDOMElement* element, const char* name, const std::string& value)
{
    if (value.empty()) {
        if (Has_Attribute(element, name))
            Check(element->removeAttribute(_bstr_t(name)));
        return;
    }
    Check(element->setAttribute(_bstr_t(name), _variant_t(QOR::FrontEnd::MsXmlAdaptor::Xml_Text(value))));
}

std::string Node_Name(IXMLDOMNode* node)
{
    BSTR name = nullptr;
    Check(node->get_nodeName(&name));
    return Narrow(name);
}

IXMLDOMElementPtr Parent_Element(IXMLDOMNode* node)
{
    IXMLDOMNodePtr parent;
    Check(node->get_parentNode(&parent));
    return parent; // null when the parent is not an element
}

void For_Each_Child(IXMLDOMNode* parent, const std::function<bool(IXMLDOMElement*)>& visit)
{
    IXMLDOMNodePtr child;
    Check(parent->get_firstChild(&child));
    while (child) {
        DOMNodeType type = NODE_INVALID;
        Check(child->get_nodeType(&type));
        if (type == NODE_ELEMENT && !visit(IXMLDOMElementPtr(child)))
            return;
        IXMLDOMNodePtr next;
        Check(child->get_nextSibling(&next));
        child = next;
    }
}

IXMLDOMElementPtr First_Child(IXMLDOMNode* parent, const char* name)
{
    IXMLDOMElementPtr found;
    For_Each_Child(parent, [&](IXMLDOMElement* child) {
        if (Node_Name(child) == name)
            found = child;
        return !found;
    });
    return found;
}

IXMLDOMElementPtr Child_Or_New(IXMLDOMNode* parent, const char* name)
{
    IXMLDOMElementPtr found = First_Child(parent, name);
    return found ? found : Add_Child(parent, name);
}

IXMLDOMElementPtr Add_Child(IXMLDOMNode* parent, const char* name, IXMLDOMNode* next)
{
    IXMLDOMDocumentPtr owner;
    Check(parent->get_ownerDocument(&owner));
    if (!owner) // the parent is the document itself
        owner = parent;
    IXMLDOMElementPtr element;
    Check(owner->createElement(_bstr_t(name), &element));
    IXMLDOMNodePtr added;
    if (next)
        Check(parent->insertBefore(element, _variant_t(next), &added));
    else
        Check(parent->appendChild(element, &added));
    return added;
}

void Initialize_Landscape(IXMLDOMDocument* document)
{
    IXMLDOMElementPtr root;
    Check(document->createElement(_bstr_t("Landscape"), &root));
    Check(document->putref_documentElement(root));
    IXMLDOMProcessingInstructionPtr declaration;
    Check(document->createProcessingInstruction(_bstr_t("xml"), _bstr_t(" version='1.0' encoding='UTF-8'"),
                                                &declaration));
    IXMLDOMNodePtr inserted;
    Check(document->insertBefore(declaration, _variant_t(static_cast<IXMLDOMNode*>(root)), &inserted));
}

IXMLDOMElementPtr Root(IXMLDOMDocument* document)
{
    IXMLDOMElementPtr root;
    Check(document->get_documentElement(&root));
    return root;
}

}} // namespace Qorcdm2::Dom
