#pragma once
#include <string>

#include "LandscapeMigrationApi.h"
#include "TracingAdaptor.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// This library's trace object: the utility library's adaptor under our name.
class Tracing : public QOR::FrontEnd::Util::Tracing::TracingAdaptor
{
public:
    Tracing(const std::string& fileName, QORPCTRC_LEVEL level);
};

// The process-wide trace object, created by the first call with that call's
// level (in the file Trace_File_Name gives that call); later levels are ignored.
Tracing* Get_Trace(int level);

// "landscape_migration_<pid>_<tid>.trc", after the thread that asks: the
// thread of the first trace request names the process's trace file.
LANDSCAPE_MIGRATION_API std::string Trace_File_Name();

// The trace directory that the utility library names; empty when it names
// none. Asked as the client's trace writer asks, by name at run time
// (InitBuffer, then InitTraceDir), since either export may be missing.
LANDSCAPE_MIGRATION_API std::string Trace_Directory();

// Where the trace writer makes a trace file of this name: in the trace
// directory, or, without one, the bare name, relative to the current
// directory of the first write.
LANDSCAPE_MIGRATION_API std::string Trace_File_Path(const std::string& fileName);

}}}} // namespace QOR::FrontEnd::Landscape::Migration
