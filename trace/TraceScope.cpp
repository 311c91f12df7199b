#include "TraceScope.h"

#include <cstring>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const char* const Our_Namespace = "QOR::FrontEnd::Landscape::Migration::";

// "bool QOR::...::CMigrationChecker::Check()" -> "QOR::...::CMigrationChecker::Check":
// the text before the parameter list, after the return type. A lambda's own
// name follows its function's parameters, so it is named after that function.
std::string Qualified_Name(const char* prettyFunction)
{
    std::string name(prettyFunction);
    name = name.substr(0, name.find('('));
    const size_t space = name.rfind(' ');
    if (space != std::string::npos)
        name.erase(0, space + 1);
    for (size_t tag; (tag = name.find("[abi:")) != std::string::npos;)
        name.erase(tag, name.find(']', tag) + 1 - tag);
    return name;
}

// Removes every occurrence of `what`, resuming the search after each removal.
std::string Remove_All(std::string text, const std::string& what)
{
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
    return text;
}

} // namespace

TraceName::TraceName(const char* prettyFunction) : m_name(Remove_All(Qualified_Name(prettyFunction), Our_Namespace)) {}

JoinedFormat::JoinedFormat(std::initializer_list<const char*> pieces)
{
    size_t length = 0;
    for (const char* piece : pieces)
        length += std::strlen(piece);
    char* out = m_local;
    if (length >= sizeof(m_local)) {
        m_long.resize(length);
        out = &m_long[0];
    }
    for (const char* piece : pieces)
        out = std::strcpy(out, piece) + std::strlen(piece);
    *out = '\0';
}

void TraceScope::Arguments() { Write_Call("CALL\n"); }

void TraceScope::Write_Call(const char* call)
{
    const JoinedFormat format{Prefix(), call};
    if (m_object)
        Data_Piece(format.c_str(), Thread_Id(), Name(), m_object, m_line);
    else
        Data_Piece(format.c_str(), Thread_Id(), Name(), m_line);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
