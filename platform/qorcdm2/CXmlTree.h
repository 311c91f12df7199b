#pragma once
// A landscape file held in memory without a DOM: every node of the document
// (elements, text, comments, processing instructions, CDATA) in one array, and
// every name and value in one character arena, all UTF-8. A tree of 20,000
// connections takes a few megabytes instead of a DOM's hundreds, and writing it
// costs no more than copying its text.
//
// Text comes in as MSXML writes a loaded document and goes out in the same form:
// the same declaration, no added white space, attributes in their order and
// escaped the same way.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Qorcdm2 {

class CXmlTree
{
public:
    using Id = std::uint32_t;
    static constexpr Id None = 0xFFFFFFFFu;
    static constexpr Id Document = 0; // the document node: the declaration, the root, comments

    enum class Kind : std::uint8_t
    {
        Document,
        Element,
        Text,
        CData,
        Comment,
        Instruction
    };

    CXmlTree();

    // Replaces the tree with the document in `text`, as MSXML writes a loaded
    // document into a stream: UTF-8 and declared so (CMsXmlDocument::
    // Serialize_Utf8), well-formed, no document type. False, with the tree
    // empty, when it is not.
    bool Parse(std::string_view text);
    void Clear();

    Id Root() const; // the document element, or None
    Kind Kind_Of(Id node) const { return m_nodes[node].kind; }
    std::string_view Name(Id node) const { return m_names[m_nodes[node].name]; }
    std::string_view Value(Id node) const { return Text_Of(m_nodes[node].value); }
    Id Parent(Id node) const { return m_nodes[node].parent; }
    Id First_Child(Id node) const { return m_nodes[node].first; }
    Id Next_Sibling(Id node) const { return m_nodes[node].next; }
    // The first child element named `name`, or None.
    Id First_Element(Id parent, std::string_view name) const;

    // A new element, before `before` (a child of `parent`) or after the last child.
    Id Add_Element(Id parent, std::string_view name, Id before = None);
    Id Add_Instruction(Id parent, std::string_view target, std::string_view data);

    // False when the element has no such attribute; `value` is then empty.
    bool Attribute(Id element, std::string_view name, std::string_view& value) const;
    std::string_view Attribute(Id element, std::string_view name) const;
    void Set_Attribute(Id element, std::string_view name, std::string_view value);
    void Remove_Attribute(Id element, std::string_view name);

    // The document as a file: UTF-8, declaration first, a line end after each
    // top-level node.
    void Write(std::string& out) const;

private:
    struct Span
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    struct Attr
    {
        std::uint32_t name;
        Span value;
    };
    struct Node
    {
        Id parent = None, first = None, last = None, next = None;
        std::uint32_t name = 0; // element name or instruction target
        Span value;             // text, CDATA, comment or instruction data
        std::uint32_t attributes = 0, attribute_count = 0;
        Kind kind = Kind::Element;
    };

    Id Add_Node(Id parent, Kind kind, std::string_view name, std::string_view value, Id before = None);
    std::uint32_t Name_Id(std::string_view name);
    Span Store(std::string_view text);
    std::string_view Text_Of(Span span) const { return std::string_view(m_text).substr(span.offset, span.length); }
    Attr* Find_Attribute(Id element, std::string_view name);
    void Write_Node(Id id, std::string& out) const;

    class Parser;

    std::vector<Node> m_nodes;
    std::vector<Attr> m_attributes;
    std::string m_text;
    std::deque<std::string> m_names;                                // a deque: views of a name stay valid
    std::unordered_map<std::string_view, std::uint32_t> m_name_ids; // views of m_names
};

} // namespace Qorcdm2
