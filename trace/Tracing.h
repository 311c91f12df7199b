#pragma once
#include <string>

#include "TracingAdaptor.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// This library's trace object: the utility library's adaptor under our name.
class Tracing : public QOR::FrontEnd::Util::Tracing::TracingAdaptor
{
public:
    Tracing(const std::string& fileName, QORPCTRC_LEVEL level);
};

// The process-wide trace object, created by the first call with that call's
// level ("landscape_migration_<pid>_<tid>.trc"); later levels are ignored.
Tracing* Get_Trace(int level);

}}}} // namespace QOR::FrontEnd::Landscape::Migration
