#pragma once
// The trace object of one of the client's own components (the connection-data
// libraries write "<host's trace file>_lm01.trc" and "..._lm02.trc"), with
// printf-style prints that take string objects for "%s".
#include <string>

#include "PrintfArg.h"
#include "TracingAdaptor.h"

class ComponentTracing : public QOR::FrontEnd::Util::Tracing::TracingAdaptor
{
public:
    ComponentTracing(const std::string& fileName, int level)
        : TracingAdaptor(fileName, static_cast<QORPCTRC_LEVEL>(level))
    {
    }

    template <typename... Args>
    void Error(const char* format, const Args&... args)
    {
        trace().TraceError(format, QOR::FrontEnd::Util::Printf_Arg(args)...);
    }
    template <typename... Args>
    void Warning(const char* format, const Args&... args)
    {
        trace().TraceWarning(format, QOR::FrontEnd::Util::Printf_Arg(args)...);
    }
    template <typename... Args>
    void Data(const char* format, const Args&... args)
    {
        trace().TraceData(format, QOR::FrontEnd::Util::Printf_Arg(args)...);
    }
};
