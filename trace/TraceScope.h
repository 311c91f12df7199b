#pragma once
// The per-function trace scope. Every traced function opens one with
//
//     QOR_TRACE_SCOPE(this);                              // member, no arguments
//     QOR_TRACE_SCOPE(this, "value=%d", value);           // member with arguments
//     QOR_TRACE_SCOPE(nullptr);                           // free function
//
// and then writes through it: trace_scope.Data("x=%s\n", x), .Error, .Warning,
// .DeveloperNote, `return trace_scope.Failed("why\n");` and
// `return trace_scope.Return(result);`. Message lines carry
// the prefix "TID: <thread>, <Class::Function>[<object>]/<line>: ". The argument
// list is evaluated only when level 4 is on, so a disabled scope costs a level
// test; the function name is worked out once per function, on its first call.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <type_traits>

#include "CString.h"
#include "TracePrint.h"
#include "Tracing.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// A message format that remembers the source line it was written on.
struct TraceMessage
{
    TraceMessage(const char* text, int sourceLine = __builtin_LINE()) : format(text), line(sourceLine) {}
    const char* format;
    int line;
};

// "Class::Function" of a function, worked out from its __PRETTY_FUNCTION__ once:
// each traced function keeps one of these in a static.
class TraceName
{
public:
    explicit TraceName(const char* prettyFunction);
    const char* Get() const noexcept { return m_name.c_str(); }

private:
    std::string m_name;
};

// A printf format put together from pieces (the line prefix, the message), on
// the stack unless it is unusually long.
class JoinedFormat
{
public:
    JoinedFormat(std::initializer_list<const char*> pieces);
    JoinedFormat(const JoinedFormat&) = delete;
    JoinedFormat& operator=(const JoinedFormat&) = delete;
    const char* c_str() const noexcept { return m_long.empty() ? m_local : m_long.c_str(); }

private:
    char m_local[512];
    std::string m_long;
};

class TraceScope
{
public:
    template <typename Describe>
    TraceScope(const TraceName& name, int line, const void* object, Describe describe)
        : m_writer(Get_Trace(QORPCTRC_LEVEL_ERROR)->trace()), m_name(name.Get()), m_object(object), m_line(line)
    {
        if (Enabled(QORPCTRC_LEVEL_DATA))
            describe(*this);
    }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;

    bool Enabled(int level) const noexcept { return Passes(m_writer, level); }

    // The entry line: "CALL" alone, or "CALL(<arguments>)".
    void Arguments();
    template <typename... Args>
    void Arguments(const char* format, const Args&... args)
    {
        if (!Stamped()) { // the same bytes as the pieces below, in one write
            const JoinedFormat line{Prefix(), "CALL(", format, ")\n"};
            if (m_object)
                Data_Piece(line.c_str(), Thread_Id(), Name(), m_object, m_line, args...);
            else
                Data_Piece(line.c_str(), Thread_Id(), Name(), m_line, args...);
            return;
        }
        Write_Call("CALL");
        Data_Piece("(");
        Data_Piece(format, args...);
        Data_Piece(")\n");
    }

    template <typename... Args>
    void Error(TraceMessage message, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_ERROR, message, args...);
    }
    template <typename... Args>
    void Warning(TraceMessage message, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_WARNING, message, args...);
    }
    template <typename... Args>
    void DeveloperNote(TraceMessage message, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_DEVELOPER, message, args...);
    }
    template <typename... Args>
    void Data(TraceMessage message, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_DATA, message, args...);
    }

    // A state the code never expects: " ---- BUG ---- " at the error level,
    // then what was found at the data level, both with the caller's line.
    template <typename... Args>
    void Bug(TraceMessage what, const Args&... args)
    {
        Print(QORPCTRC_LEVEL_ERROR, TraceMessage(" ---- BUG ---- ", what.line));
        Print(QORPCTRC_LEVEL_DATA, what, args...);
    }

    // A step that fails ends in one line, `return trace_scope.Failed("...\n", args);`:
    // the message at the error level, then false for the caller (wrapped in
    // Return where the function also traces its result).
    template <typename... Args>
    bool Failed(TraceMessage message, const Args&... args)
    {
        Error(message, args...);
        return false;
    }
    // The same for a state the code never expects, traced as Bug does.
    template <typename... Args>
    bool Failed_Bug(TraceMessage what, const Args&... args)
    {
        Bug(what, args...);
        return false;
    }

    // Traces "Setting return value:(<value>) ..." and hands the value back.
    template <typename T>
    T Return(T value, int line = __builtin_LINE())
    {
        if (Enabled(QORPCTRC_LEVEL_DATA))
            Write_Return(line, Value_Format(value), Value_Text(value));
        return value;
    }

    // "Class::Function" as it appears in the lines.
    const char* Name() const noexcept { return m_name; }

private:
    template <typename... Args>
    void Print(int level, const TraceMessage& message, const Args&... args)
    {
        if (!Enabled(level))
            return;
        const JoinedFormat format{Prefix(), message.format};
        if (m_object)
            Migration::Print(m_writer, level, format.c_str(), Thread_Id(), Name(), m_object, message.line, args...);
        else
            Migration::Print(m_writer, level, format.c_str(), Thread_Id(), Name(), message.line, args...);
    }

    const char* Prefix() const noexcept { return m_object ? "TID: %d, %s[%p]/%d: " : "TID: %d, %s/%d: "; }
    void Write_Call(const char* call);
    template <typename V>
    void Write_Return(int line, const char* format, const V& value)
    {
        const char* const head = "TID: %d, %s/%d: Setting return value:";
        const char* const tail = ") - this can be changed before exitting the function (in this case it can be seen "
                                 "below).\n";
        if (!Stamped()) { // the same bytes as the pieces below, in one write
            Data_Piece(JoinedFormat{head, "(", format, tail}.c_str(), Thread_Id(), Name(), line, value);
            return;
        }
        Data_Piece(head, Thread_Id(), Name(), line);
        Data_Piece("(");
        Data_Piece(format, value);
        Data_Piece(tail);
    }

    // In time-stamp mode every piece of a line carries its own stamp, so the
    // pieces must be written one by one; otherwise a line goes out in one write.
    bool Stamped() const noexcept { return m_writer.m_level == QORPCTRC_LEVEL_TIMESTAMP; }

    // One piece of a line at the data level.
    template <typename... Args>
    void Data_Piece(const char* format, const Args&... args)
    {
        Migration::Print(m_writer, QORPCTRC_LEVEL_DATA, format, args...);
    }

    static int Thread_Id() noexcept { return static_cast<int>(GetCurrentThreadId()); }

    static const char* Value_Format(bool) { return "%s"; }
    static const char* Value_Text(bool value) { return value ? "true" : "false"; }
    template <typename T>
    static std::enable_if_t<std::is_integral<T>::value && !std::is_same<T, bool>::value, const char*> Value_Format(T)
    {
        return "%d";
    }
    template <typename T>
    static std::enable_if_t<std::is_integral<T>::value && !std::is_same<T, bool>::value, int> Value_Text(T value)
    {
        return static_cast<int>(value);
    }
    static const char* Value_Format(const std::string&) { return "%s"; }
    static const std::string& Value_Text(const std::string& value) { return value; }
    static const char* Value_Format(const CString&) { return "%s"; }
    static const CString& Value_Text(const CString& value) { return value; }

    CQorPcTrc& m_writer;
    const char* m_name;
    const void* m_object;
    int m_line;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration

#define QOR_TRACE_SCOPE(object, ...)                                                                                   \
    static const ::QOR::FrontEnd::Landscape::Migration::TraceName trace_name_(__PRETTY_FUNCTION__);                    \
    ::QOR::FrontEnd::Landscape::Migration::TraceScope trace_scope(                                                     \
        trace_name_, __LINE__, object,                                                                                 \
        [&](::QOR::FrontEnd::Landscape::Migration::TraceScope& scope_) { scope_.Arguments(__VA_ARGS__); })
