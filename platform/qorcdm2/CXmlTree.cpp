#include "CXmlTree.h"

#include <cstring>

namespace Qorcdm2 {

namespace {

const std::string_view Declaration_Target = "xml";
// What a new landscape declares itself with, as MSXML writes a declaration made
// with createProcessingInstruction.
const std::string_view New_Declaration = " version='1.0' encoding='UTF-8'";

bool Is_Space(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

bool Is_Name_End(char ch) { return Is_Space(ch) || ch == '>' || ch == '/' || ch == '=' || ch == '?'; }

void Append_Utf8(unsigned long code, std::string& out)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Replaces the five predefined entities and character references.
bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const size_t end = text.find(';', i);
        if (end == std::string_view::npos)
            return false;
        const std::string_view entity = text.substr(i + 1, end - i - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::string digits(entity.substr(hex ? 2 : 1));
            char* stop = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            if (digits.empty() || *stop || code > 0x10FFFF)
                return false;
            Append_Utf8(code, out);
        } else {
            return false; // a document type would be needed to know it
        }
        i = end;
    }
    return true;
}

// The entity a character is written as, or null where it stands as itself. An
// attribute value also keeps its quote, and the white space a reader would
// normalise, as entities.
const char* Entity(char ch, bool in_attribute)
{
    switch (ch) {
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '&':
        return "&amp;";
    case '\r':
        return "&#13;";
    case '"':
        return in_attribute ? "&quot;" : nullptr;
    case '\n':
        return in_attribute ? "&#10;" : nullptr;
    case '\t':
        return in_attribute ? "&#9;" : nullptr;
    default:
        return nullptr;
    }
}

void Escape(std::string_view text, bool in_attribute, std::string& out)
{
    for (const char ch : text) {
        if (const char* entity = Entity(ch, in_attribute))
            out += entity;
        else
            out += ch;
    }
}

} // namespace

// Reads a document as MSXML writes it. MSXML has parsed and checked it already,
// so this only has to take it apart; anything unexpected fails.
class CXmlTree::Parser
{
public:
    Parser(CXmlTree& tree, std::string_view text) : m_tree(tree), m_text(text) {}

    bool Document()
    {
        while (true) {
            Skip_Space();
            if (m_at == m_text.size())
                return m_tree.Root() != None;
            if (!Markup(CXmlTree::Document, false))
                return false;
        }
    }

private:
    bool Starts(std::string_view piece) const { return m_text.substr(m_at, piece.size()) == piece; }

    void Skip_Space()
    {
        while (m_at < m_text.size() && Is_Space(m_text[m_at]))
            ++m_at;
    }

    std::string_view Until(std::string_view end)
    {
        const size_t found = m_text.find(end, m_at);
        if (found == std::string_view::npos) {
            m_failed = true;
            return std::string_view();
        }
        const std::string_view piece = m_text.substr(m_at, found - m_at);
        m_at = found + end.size();
        return piece;
    }

    std::string_view Name()
    {
        const size_t start = m_at;
        while (m_at < m_text.size() && !Is_Name_End(m_text[m_at]))
            ++m_at;
        return m_text.substr(start, m_at - start);
    }

    // One node starting at '<' (or, inside an element, text).
    bool Markup(Id parent, bool inElement)
    {
        if (m_text[m_at] != '<') {
            if (!inElement)
                return false;
            const size_t end = m_text.find('<', m_at);
            if (end == std::string_view::npos || !Unescape(m_text.substr(m_at, end - m_at), m_scratch))
                return false;
            m_tree.Add_Node(parent, Kind::Text, std::string_view(), m_scratch);
            m_at = end;
            return true;
        }
        if (Starts("<!--")) {
            m_at += 4;
            const std::string_view comment = Until("-->");
            m_tree.Add_Node(parent, Kind::Comment, std::string_view(), comment);
        } else if (Starts("<![CDATA[")) {
            if (!inElement)
                return false;
            m_at += 9;
            const std::string_view data = Until("]]>");
            m_tree.Add_Node(parent, Kind::CData, std::string_view(), data);
        } else if (Starts("<?")) {
            m_at += 2;
            const std::string_view target = Name();
            Skip_Space();
            const std::string_view data = Until("?>");
            m_tree.Add_Node(parent, Kind::Instruction, target, data);
        } else if (Starts("<!")) {
            return false; // a document type: MSXML was told to refuse those
        } else {
            return Element(parent);
        }
        return !m_failed;
    }

    bool Element(Id parent)
    {
        ++m_at;
        const std::string_view name = Name();
        if (name.empty() || (parent == CXmlTree::Document && m_tree.Root() != None))
            return false;
        const Id element = m_tree.Add_Node(parent, Kind::Element, name, std::string_view());
        while (true) {
            Skip_Space();
            if (m_at >= m_text.size())
                return false;
            if (Starts("/>")) {
                m_at += 2;
                return true;
            }
            if (m_text[m_at] == '>') {
                ++m_at;
                break;
            }
            const std::string attribute(Name());
            Skip_Space();
            if (attribute.empty() || m_at >= m_text.size() || m_text[m_at] != '=')
                return false;
            ++m_at;
            Skip_Space();
            if (m_at >= m_text.size() || (m_text[m_at] != '"' && m_text[m_at] != '\''))
                return false;
            const char quote[2] = {m_text[m_at++], '\0'};
            if (!Unescape(Until(quote), m_scratch) || m_failed)
                return false;
            m_tree.Set_Attribute(element, attribute, m_scratch);
        }
        while (m_at < m_text.size()) {
            if (Starts("</")) {
                m_at += 2;
                if (Name() != name)
                    return false;
                Skip_Space();
                if (m_at >= m_text.size() || m_text[m_at] != '>')
                    return false;
                ++m_at;
                return true;
            }
            if (!Markup(element, true))
                return false;
        }
        return false;
    }

    CXmlTree& m_tree;
    std::string_view m_text;
    size_t m_at = 0;
    bool m_failed = false;
    std::string m_scratch;
};

CXmlTree::CXmlTree() { Clear(); }

void CXmlTree::Clear()
{
    m_nodes.assign(1, Node());
    m_nodes[Document].kind = Kind::Document;
    m_attributes.clear();
    m_text.clear();
    m_names.clear();
    m_name_ids.clear();
    Name_Id(std::string_view());
}

bool CXmlTree::Parse(std::string_view text)
{
    Clear();
    m_text.reserve(text.size());
    if (!Parser(*this, text).Document()) {
        Clear();
        return false;
    }
    const Id first = First_Child(Document);
    if (Kind_Of(first) != Kind::Instruction || Name(first) != Declaration_Target)
        Add_Node(Document, Kind::Instruction, Declaration_Target, New_Declaration, first);
    return true;
}

CXmlTree::Id CXmlTree::Root() const
{
    for (Id child = First_Child(Document); child != None; child = Next_Sibling(child))
        if (Kind_Of(child) == Kind::Element)
            return child;
    return None;
}

CXmlTree::Id CXmlTree::First_Element(Id parent, std::string_view name) const
{
    for (Id child = First_Child(parent); child != None; child = Next_Sibling(child))
        if (Kind_Of(child) == Kind::Element && Name(child) == name)
            return child;
    return None;
}

CXmlTree::Id CXmlTree::Add_Element(Id parent, std::string_view name, Id before)
{
    if (parent == Document && Root() == None && First_Child(Document) == None)
        Add_Node(Document, Kind::Instruction, Declaration_Target, New_Declaration);
    return Add_Node(parent, Kind::Element, name, std::string_view(), before);
}

CXmlTree::Id CXmlTree::Add_Instruction(Id parent, std::string_view target, std::string_view data)
{
    return Add_Node(parent, Kind::Instruction, target, data);
}

CXmlTree::Id CXmlTree::Add_Node(Id parent, Kind kind, std::string_view name, std::string_view value, Id before)
{
    const Id id = static_cast<Id>(m_nodes.size());
    Node node;
    node.kind = kind;
    node.parent = parent;
    node.name = Name_Id(name);
    node.value = Store(value);
    m_nodes.push_back(node);
    Node& owner = m_nodes[parent];
    if (before == None || m_nodes[before].parent != parent) {
        if (owner.last == None)
            owner.first = id;
        else
            m_nodes[owner.last].next = id;
        owner.last = id;
    } else if (owner.first == before) {
        m_nodes[id].next = before;
        owner.first = id;
    } else {
        Id previous = owner.first;
        while (m_nodes[previous].next != before)
            previous = m_nodes[previous].next;
        m_nodes[id].next = before;
        m_nodes[previous].next = id;
    }
    return id;
}

std::uint32_t CXmlTree::Name_Id(std::string_view name)
{
    const auto found = m_name_ids.find(name);
    if (found != m_name_ids.end())
        return found->second;
    const auto id = static_cast<std::uint32_t>(m_names.size());
    m_names.emplace_back(name);
    m_name_ids.emplace(std::string_view(m_names.back()), id);
    return id;
}

CXmlTree::Span CXmlTree::Store(std::string_view text)
{
    Span span{static_cast<std::uint32_t>(m_text.size()), static_cast<std::uint32_t>(text.size())};
    if (text.data() >= m_text.data() && text.data() < m_text.data() + m_text.size()) {
        const std::string copy(text); // a value of this tree: growing the arena may move it
        m_text.append(copy);
    } else {
        m_text.append(text.data(), text.size());
    }
    return span;
}

CXmlTree::Attr* CXmlTree::Find_Attribute(Id element, std::string_view name)
{
    const Node& node = m_nodes[element];
    for (std::uint32_t i = 0; i < node.attribute_count; ++i) {
        Attr& attribute = m_attributes[node.attributes + i];
        if (m_names[attribute.name] == name)
            return &attribute;
    }
    return nullptr;
}

bool CXmlTree::Attribute(Id element, std::string_view name, std::string_view& value) const
{
    const Attr* attribute = const_cast<CXmlTree*>(this)->Find_Attribute(element, name);
    value = attribute ? Text_Of(attribute->value) : std::string_view();
    return attribute != nullptr;
}

std::string_view CXmlTree::Attribute(Id element, std::string_view name) const
{
    std::string_view value;
    Attribute(element, name, value);
    return value;
}

void CXmlTree::Set_Attribute(Id element, std::string_view name, std::string_view value)
{
    if (Attr* attribute = Find_Attribute(element, name)) {
        attribute->value = Store(value);
        return;
    }
    Node& node = m_nodes[element];
    // An element's attributes stay together: one that is not the last to get
    // attributes moves its own to the end first.
    if (node.attribute_count && node.attributes + node.attribute_count != m_attributes.size()) {
        const std::uint32_t moved = static_cast<std::uint32_t>(m_attributes.size());
        for (std::uint32_t i = 0; i < node.attribute_count; ++i)
            m_attributes.push_back(m_attributes[node.attributes + i]);
        node.attributes = moved;
    }
    if (!node.attribute_count)
        node.attributes = static_cast<std::uint32_t>(m_attributes.size());
    m_attributes.push_back(Attr{Name_Id(name), Store(value)});
    ++node.attribute_count;
}

void CXmlTree::Remove_Attribute(Id element, std::string_view name)
{
    Node& node = m_nodes[element];
    for (std::uint32_t i = 0; i < node.attribute_count; ++i) {
        if (m_names[m_attributes[node.attributes + i].name] != name)
            continue;
        for (std::uint32_t j = i + 1; j < node.attribute_count; ++j)
            m_attributes[node.attributes + j - 1] = m_attributes[node.attributes + j];
        --node.attribute_count;
        return;
    }
}

void CXmlTree::Write(std::string& out) const
{
    for (Id child = First_Child(Document); child != None; child = Next_Sibling(child)) {
        Write_Node(child, out);
        out += '\n';
    }
}

void CXmlTree::Write_Node(Id id, std::string& out) const
{
    const Node& node = m_nodes[id];
    switch (node.kind) {
    case Kind::Text:
        Escape(Value(id), false, out);
        return;
    case Kind::CData:
        out.append("<![CDATA[").append(Value(id)).append("]]>");
        return;
    case Kind::Comment:
        out.append("<!--").append(Value(id)).append("-->");
        return;
    case Kind::Instruction:
        out.append("<?").append(Name(id));
        if (node.value.length)
            out.append(" ").append(Value(id));
        out.append("?>");
        return;
    case Kind::Document:
        return;
    case Kind::Element:
        break;
    }
    out.append("<").append(Name(id));
    for (std::uint32_t i = 0; i < node.attribute_count; ++i) {
        const Attr& attribute = m_attributes[node.attributes + i];
        out.append(" ").append(m_names[attribute.name]).append("=\"");
        Escape(Text_Of(attribute.value), true, out);
        out += '"';
    }
    if (node.first == None) {
        out += "/>";
        return;
    }
    out += '>';
    for (Id child = node.first; child != None; child = m_nodes[child].next)
        Write_Node(child, out);
    out.append("</").append(Name(id)).append(">");
}

} // namespace Qorcdm2
