#include "Tracing.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "ProductVersion.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const char* const Banner = "landscape_migration.dll v" LANDSCAPE_MIGRATION_VERSION;

// Empty until the first trace request; released when this library is unloaded,
// which closes the trace file.
std::shared_ptr<Tracing> g_trace;

} // namespace

Tracing::Tracing(const std::string& fileName, QORPCTRC_LEVEL level) : TracingAdaptor(fileName, level) {}

Tracing* Get_Trace(int level)
{
    if (!g_trace) {
        g_trace = std::make_shared<Tracing>(Trace_File_Name(), static_cast<QORPCTRC_LEVEL>(level));
        g_trace->TraceDeveloperNote("%s\n\n", Banner);
    }
    return g_trace.get();
}

std::string Trace_File_Name()
{
    char fileName[MAX_PATH];
    std::snprintf(fileName, sizeof(fileName), "landscape_migration_%.4d_%.4d.trc",
                  static_cast<int>(GetCurrentProcessId()), static_cast<int>(GetCurrentThreadId()));
    return fileName;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
