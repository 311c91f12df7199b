#pragma once
#include <string>

#include "CQorPcTrc.h"
#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Tracing {

// Base of a component's trace object: owns the writer of one trace file and
// closes it when destroyed. Writes are not serialised: a component traces from
// one thread, and a mutex per line would cost more than the line itself.
class QORUTIL_API TracingAdaptor
{
public:
    virtual ~TracingAdaptor();
    TracingAdaptor(const TracingAdaptor&) = delete;
    TracingAdaptor& operator=(const TracingAdaptor&) = delete;

    CQorPcTrc& trace() noexcept { return m_trace; }

    template <typename... Args>
    void TraceError(const char* format, const Args&... args)
    {
        m_trace.TraceError(format, args...);
    }
    template <typename... Args>
    void TraceWarning(const char* format, const Args&... args)
    {
        m_trace.TraceWarning(format, args...);
    }
    template <typename... Args>
    void TraceDeveloperNote(const char* format, const Args&... args)
    {
        m_trace.TraceDeveloperNote(format, args...);
    }
    template <typename... Args>
    void TraceData(const char* format, const Args&... args)
    {
        m_trace.TraceData(format, args...);
    }

protected:
    TracingAdaptor(const std::string& fileName, QORPCTRC_LEVEL level);

private:
    CQorPcTrc m_trace;
};

}}}} // namespace QOR::FrontEnd::Util::Tracing
