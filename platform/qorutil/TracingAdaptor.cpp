#include "TracingAdaptor.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Tracing {

TracingAdaptor::TracingAdaptor(const std::string& fileName, QORPCTRC_LEVEL level) : m_trace(fileName.c_str(), level) {}

TracingAdaptor::~TracingAdaptor() = default;

}}}} // namespace QOR::FrontEnd::Util::Tracing
