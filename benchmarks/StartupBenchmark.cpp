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
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "LandscapeMigration.h"

namespace {

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
    HKEY key = nullptr;
    ScratchRegistry()
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, key);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, key);
    }
    ~ScratchRegistry()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(key);
        RegDeleteTreeA(HKEY_CURRENT_USER, name.c_str());
    }
};

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
    std::string text;
    if (HANDLE in = CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        in != INVALID_HANDLE_VALUE) {
        text.resize(static_cast<size_t>(File_Size(ini)));
        DWORD read = 0;
        ReadFile(in, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
        CloseHandle(in);
    }
    const std::string out_path = work + "\\floor.xml";
    HANDLE out = CreateFileA(out_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::vector<char> block(1 << 20, 'x');
    for (long long left = bytes; left > 0; left -= static_cast<long long>(block.size())) {
        DWORD written = 0;
        WriteFile(out, block.data(), static_cast<DWORD>(left < static_cast<long long>(block.size()) ? left : block.size()),
                  &written, nullptr);
    }
    FlushFileBuffers(out);
    CloseHandle(out);
    const double seconds = Seconds_Since(start);
    DeleteFileA(out_path.c_str());
    std::printf("floor %.3f s (read %zu bytes, wrote %lld bytes)\n", seconds, text.size(), bytes);
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
    std::fprintf(stderr, "usage: startup_benchmark.exe migrate <work folder>\n"
                         "       startup_benchmark.exe floor <ini> <work folder> <bytes>\n");
    return 2;
}
