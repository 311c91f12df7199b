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

void TraceScope::Arguments() { Write_Call("CALL\n"); }

const char* TraceScope::Name()
{
    if (m_name)
        return m_name;
    const std::string name = Remove_All(Qualified_Name(m_function), Our_Namespace);
    if (name.size() < sizeof(m_nameBuffer)) {
        std::memcpy(m_nameBuffer, name.c_str(), name.size() + 1);
        m_name = m_nameBuffer;
    } else {
        m_longName.reset(new char[name.size() + 1]);
        std::memcpy(m_longName.get(), name.c_str(), name.size() + 1);
        m_name = m_longName.get();
    }
    return m_name;
}

std::string TraceScope::Prefix() const
{
    return m_object ? "TID: %d, %s[%p]/%d: " : "TID: %d, %s/%d: ";
}

void TraceScope::Write_Call(const char* call)
{
    const std::string format = Prefix() + call;
    if (m_object)
        m_trace->TraceData(format.c_str(), Thread_Id(), Name(), m_object, m_line);
    else
        m_trace->TraceData(format.c_str(), Thread_Id(), Name(), m_line);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
