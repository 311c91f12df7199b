#pragma once
#include <string>

#include "CQorPcTrc.h"
#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Tracing {

// Base of a component's trace object: owns the writer of one trace file and
// closes the file when destroyed.
class QORUTIL_API TracingAdaptor
{
public:
    virtual ~TracingAdaptor();
    TracingAdaptor(const TracingAdaptor&) = delete;
    TracingAdaptor& operator=(const TracingAdaptor&) = delete;

    CQorPcTrc& trace() noexcept { return m_trace; }

protected:
    TracingAdaptor(const std::string& fileName, QORPCTRC_LEVEL level);

private:
    CQorPcTrc m_trace;
};

}}}} // namespace QOR::FrontEnd::Util::Tracing
