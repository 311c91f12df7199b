#pragma once
// How CLogonManagerLibrary calls a function of its library and traces the call.
#include <string>
#include <utility>

#include "CdmDataMan.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace LibraryCall {

// What an operation returns when its library function was not resolved (the
// library did not load, or lacks it): a failure, the one a library that was
// never initialised gives.
constexpr int Function_Missing = 1;

// Calls a resolved library function; one that is missing is never called.
template <typename Function, typename... Args>
inline int Call(Function function, Args&&... args)
{
    return function ? function(std::forward<Args>(args)...) : Function_Missing;
}

// "after call: " and the argument list again, with the values the call left.
template <typename... Args>
inline void Trace_After_Call(TraceScope& scope, int line, const char* format, const Args&... args)
{
    if (!scope.Enabled(QORPCTRC_LEVEL_DATA))
        return;
    const std::string text = std::string("after call: ") + format + "\n";
    scope.Data(TraceMessage(text.c_str(), line), args...);
}

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::LibraryCall
