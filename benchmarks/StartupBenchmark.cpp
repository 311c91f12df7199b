// One start-up of the client on a profile of its own, as scripts/benchmark times
// it: the user folder, the machine folders and the registry are a scratch
// profile's, so every run is a first start. Prints one line of figures.
//
//   startup_benchmark.exe migrate <work folder>
//       the profile is <work folder>\AppData\QOR\Common\qorlogon.ini, put there by
//       the caller; calls Execute_Landscape_Migration_Check and prints: the call's
//       seconds, the peak working set, the sizes of the user and shared landscape.
//   startup_benchmark.exe floor <qorlogon.ini> <work folder> <bytes>
//       the least such a start could cost: reads the old file and writes a file
//       of the given size (the new landscape's), flushed; prints the seconds.
//   startup_benchmark.exe trace-floor <trace file> <work folder>
//       the least a level-4 trace could cost: writes the lines of the given trace
//       file again, each in a write of its own as the trace writer must; prints
//       the seconds and the number of writes.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Handles.h"
#include "LandscapeMigration.h"

namespace {

using QOR::FrontEnd::Util::unique_hfile;
using QOR::FrontEnd::Util::unique_hkey;

double Seconds_Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long File_Size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The current user's and the machine's keys, for this process only, in a key
// of their own that is deleted afterwards.
struct ScratchRegistry
{
    std::string name = "Software\\QORBenchmark\\" + std::to_string(GetCurrentProcessId());
    unique_hkey key;
    ScratchRegistry()
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, key.get());
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, key.get());
    }
    ~ScratchRegistry()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        key.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, name.c_str());
    }
};

std::string Read_File(const std::string& path)
{
    std::string text;
    unique_hfile in(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (in) {
        text.resize(static_cast<size_t>(File_Size(path)));
        DWORD read = 0;
        ReadFile(in.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
        text.resize(read);
    }
    return text;
}

unique_hfile Create_File(const std::string& path)
{
    return unique_hfile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

int Migrate(const std::string& work)
{
    const std::string common = work + "\\AppData\\QOR\\Common";
    SetEnvironmentVariableA("APPDATA", (work + "\\AppData").c_str());
    SetEnvironmentVariableA("ProgramData", (work + "\\ProgramData").c_str());
    SetEnvironmentVariableA("windir", (work + "\\Windows").c_str());
    ScratchRegistry registry;

    const auto start = std::chrono::steady_clock::now();
    const bool result = Execute_Landscape_Migration_Check();
    const double seconds = Seconds_Since(start);
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("call %.3f s, peak working set %.1f MiB, user landscape %lld bytes, shared landscape %lld bytes%s\n",
                seconds, memory.PeakWorkingSetSize / 1048576.0, File_Size(common + "\\QORUILandscape.xml"),
                File_Size(common + "\\QORUILandscapeGlobal.xml"), result ? "" : " (FAILED)");
    return result ? 0 : 1;
}

int Floor(const std::string& ini, const std::string& work, long long bytes)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string text = Read_File(ini);
    const std::string out_path = work + "\\floor.xml";
    {
        unique_hfile out = Create_File(out_path);
        std::vector<char> block(1 << 20, 'x');
        for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size())) {
            const DWORD size = static_cast<DWORD>(left < static_cast<long long>(block.size()) ? left : block.size());
            DWORD written = 0;
            WriteFile(out.get(), block.data(), size, &written, nullptr);
        }
        FlushFileBuffers(out.get());
    }
    const double seconds = Seconds_Since(start);
    DeleteFileA(out_path.c_str());
    std::printf("floor %.3f s (read %zu bytes, wrote %lld bytes)\n", seconds, text.size(), bytes);
    return 0;
}

int Trace_Floor(const std::string& trace, const std::string& work)
{
    const std::string text = Read_File(trace);
    const std::string out_path = work + "\\trace-floor.trc";
    size_t writes = 0;
    const auto start = std::chrono::steady_clock::now();
    {
        unique_hfile out = Create_File(out_path);
        for (size_t at = 0; at < text.size(); ++writes) {
            size_t end = text.find('\n', at);
            end = end == std::string::npos ? text.size() : end + 1;
            DWORD written = 0;
            WriteFile(out.get(), text.data() + at, static_cast<DWORD>(end - at), &written, nullptr);
            at = end;
        }
    }
    const double seconds = Seconds_Since(start);
    DeleteFileA(out_path.c_str());
    std::printf("trace floor %.3f s (%zu writes, %zu bytes)\n", seconds, writes, text.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "migrate" && argc == 3)
        return Migrate(argv[2]);
    if (mode == "floor" && argc == 5)
        return Floor(argv[2], argv[3], std::atoll(argv[4]));
    if (mode == "trace-floor" && argc == 4)
        return Trace_Floor(argv[2], argv[3]);
    std::fprintf(stderr, "usage: startup_benchmark.exe migrate <work folder>\n"
                         "       startup_benchmark.exe floor <ini> <work folder> <bytes>\n"
                         "       startup_benchmark.exe trace-floor <trace file> <work folder>\n");
    return 2;
}
