#include "Tracing.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <memory>

#include "Handles.h"
#include "ProductVersion.h"
#include "TracePrint.h"

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
        Print(g_trace->trace(), QORPCTRC_LEVEL_DEVELOPER, "%s\n\n", Banner);
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

std::string Trace_Directory()
{
    using Init_Buffer = void (*)(char*);
    using Init_Trace_Dir = BOOL (*)(char*);
    const Util::unique_hmodule utility(LoadLibraryA("qorutil.dll"));
    const FARPROC initBuffer = utility ? GetProcAddress(utility.get(), "InitBuffer") : nullptr;
    const FARPROC initTraceDir = utility ? GetProcAddress(utility.get(), "InitTraceDir") : nullptr;
    char directory[MAX_PATH] = {};
    if (initBuffer)
        reinterpret_cast<Init_Buffer>(initBuffer)(directory);
    if (initTraceDir && reinterpret_cast<Init_Trace_Dir>(initTraceDir)(directory))
        return directory;
    return std::string();
}

std::string Trace_File_Path(const std::string& fileName)
{
    const std::string directory = Trace_Directory();
    char path[MAX_PATH] = {};
    if (!directory.empty() && PathAppendA(lstrcpynA(path, directory.c_str(), MAX_PATH), fileName.c_str()))
        return path;
    return fileName;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
