// Finds the inputs nobody thought of: mutates the sample profile's files at
// random and runs the client's start-up host on each result, in a process of its
// own. A run fails when the host does not report a result of the start-up call
// (it crashed, hung or met an XML error), when qorlogon.ini changed, or when a
// landscape file it wrote does not load (or had to be backed up). Every input of a failing run is
// kept. Iteration I of seed S always mutates the same way, so one run can be
// repeated alone with --first I --iterations 1.
//
//   mutation_loop.exe [--iterations N] [--seed S] [--first I] [--keep FOLDER]
//
// The host uses the real HKEY_CURRENT_USER of the Wine prefix: its QOR key is
// deleted before every run and at the end.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TestSupport.h"

using TestSupport::Read_File;
using TestSupport::Write_File;

namespace {

const char* const Mutated_Files[] = {"AppData\\QOR\\Common\\qorlogon.ini",
                                     "Windows\\qormsg.ini",
                                     "Windows\\qorroute.ini",
                                     "Windows\\System32\\drivers\\etc\\services",
                                     "AppData\\QOR\\TEDU\\TEDUOptions.xml",
                                     "ProgramData\\QOR\\TEDU\\TEDUOptions.xml"};

const char* const Profile_Folders[] = {"AppData\\QOR\\Common", "AppData\\QOR\\TEDU", "ProgramData\\QOR\\TEDU",
                                       "Windows\\System32\\drivers\\etc", "traces"};

using Random = std::mt19937_64;

size_t Pick(Random& random, size_t count)
{
    return count ? std::uniform_int_distribution<size_t>(0, count - 1)(random) : 0;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end + 1 - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

// One random change; returns what it did, for the record of a failing run.
std::string Mutate(std::string& text, Random& random)
{
    static const char stray[] = {'[', ']', '=', '<', '>', '&', '"', ';', '\0', '\r', '\n', '\x01', '\x0b', '\x1f'};
    std::vector<std::string> lines = Lines(text);
    const size_t line = Pick(random, lines.size()), kind = Pick(random, 8);
    if (kind == 0) {
        for (size_t i = 0, count = 1 + Pick(random, 8); i < count && !text.empty(); ++i)
            text[Pick(random, text.size())] = static_cast<char>(Pick(random, 256));
        return "flipped bytes";
    }
    if (kind == 5) {
        text.insert(Pick(random, text.size() + 1), 1, stray[Pick(random, sizeof(stray))]);
        return "inserted a stray character";
    }
    if (kind == 6) {
        text.insert(0, Pick(random, 2) ? "\xEF\xBB\xBF" : "\xFF\xFE");
        return "put a byte-order mark in front";
    }
    if (kind == 7) {
        text.resize(Pick(random, text.size() + 1));
        return "truncated the file";
    }
    if (lines.empty())
        return "nothing to change";
    if (kind == 1)
        lines.erase(lines.begin() + static_cast<long>(line));
    else if (kind == 2)
        lines[line].resize(Pick(random, lines[line].size()));
    else if (kind == 3)
        lines.insert(lines.begin() + static_cast<long>(Pick(random, lines.size() + 1)), lines[line]);
    else
        std::shuffle(lines.begin(), lines.end(), random);
    text = Joined(lines);
    static const char* const done[] = {"", "cut a line", "cut a line short", "duplicated a line", "shuffled the lines"};
    return done[kind];
}

struct Run
{
    std::string failure; // empty: the run passed
    std::string record;  // what was mutated
};

// Runs the host; one that takes longer than `seconds` is stopped and counts
// as hung. Empty when it ran to its end, else what went wrong. A host that
// could not be started never saw the profile: that is this machine's fault,
// not the migration's, so `run` says so and the host is started once more.
std::string Run_Host(const std::string& host, const std::string& run, DWORD seconds, DWORD& exit_code,
                     std::string& output)
{
    auto child = std::make_unique<Admin::ChildProcess>("\"" + host + "\"");
    if (!child->Started()) {
        std::printf("%s: the host did not start (error %lu); starting it again\n", run.c_str(), child->Start_Error());
        child = std::make_unique<Admin::ChildProcess>("\"" + host + "\"");
    }
    if (!child->Started())
        return "the host did not start (error " + std::to_string(child->Start_Error()) + ")";
    const DWORD waited = WaitForSingleObject(child->Handle(), seconds * 1000);
    const DWORD wait_error = GetLastError();
    if (waited != WAIT_OBJECT_0) {
        child->Terminate(99);
        child->Wait();
        return waited == WAIT_TIMEOUT ? "the host did not finish within " + std::to_string(seconds) + " s"
                                      : "waiting for the host failed (" + std::to_string(waited) + ", error " +
                                            std::to_string(wait_error) + ")";
    }
    exit_code = child->Exit_Code();
    output = child->Output();
    return std::string();
}

Run Run_Once(const std::string& profile, unsigned long long seed, unsigned long long iteration)
{
    Run run;
    Random random(seed * 1000003ULL + iteration);
    const std::string sample = TestSupport::Program_Folder() + "\\sample\\";
    for (const char* sub : Profile_Folders)
        SHCreateDirectoryExA(nullptr, (profile + "\\" + sub).c_str(), nullptr);
    for (const char* file : Mutated_Files)
        CopyFileA((sample + file).c_str(), (profile + "\\" + file).c_str(), FALSE);
    const size_t files = 1 + Pick(random, 3);
    for (size_t f = 0; f < files; ++f) {
        const char* file = Mutated_Files[Pick(random, std::size(Mutated_Files))];
        std::string text = Read_File(profile + "\\" + file);
        const size_t changes = 1 + Pick(random, 4);
        for (size_t c = 0; c < changes; ++c)
            run.record += std::string(file) + ": " + Mutate(text, random) + "\n";
        Write_File(profile + "\\" + file, text);
    }
    const std::string level = Pick(random, 2) ? "4" : "0";
    run.record += "trace level " + level + "\n";

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QOR");
    SetEnvironmentVariableA("APPDATA", (profile + "\\AppData").c_str());
    SetEnvironmentVariableA("ProgramData", (profile + "\\ProgramData").c_str());
    SetEnvironmentVariableA("windir", (profile + "\\Windows").c_str());
    SetEnvironmentVariableA("QOR_TRACE_DIR", (profile + "\\traces").c_str());
    SetEnvironmentVariableA("LD_MIG_TRC_LEVEL", level.c_str());

    const std::string ini = profile + "\\" + Mutated_Files[0];
    const std::string before = Read_File(ini);
    DWORD exit_code = 0;
    std::string output;
    const std::string name = "seed " + std::to_string(seed) + " iteration " + std::to_string(iteration);
    run.failure = Run_Host(TestSupport::Program_Folder() + "\\logon_startup.exe", name, 120, exit_code, output);
    if (!run.failure.empty())
        return run;
    if (exit_code != 0 || output.find("Execute_Landscape_Migration_Check: ") == std::string::npos)
        run.failure = "the host returned no result (exit code " + std::to_string(exit_code) + ")";
    else if (Read_File(ini) != before)
        run.failure = "qorlogon.ini changed";
    const std::string common = profile + "\\AppData\\QOR\\Common";
    // No landscape file was there before the run: a backup means that the run
    // wrote a file that it could not read again.
    for (const std::string& name : TestSupport::Files_In(common)) {
        if (!run.failure.empty())
            break;
        if (name.find(".bak") != std::string::npos)
            run.failure = name + " was made: a landscape file did not load";
        else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0 &&
                 !TestSupport::Loads_As_Xml(common + "\\" + name))
            run.failure = name + " does not load";
    }
    return run;
}

// Keeps the whole profile of a failing run (inputs, landscapes, traces, output).
void Keep(const std::string& profile, const std::string& keep, const Run& run, unsigned long long seed,
          unsigned long long iteration)
{
    char full[MAX_PATH] = {}; // SHCreateDirectoryEx takes full paths only
    GetFullPathNameA(keep.c_str(), MAX_PATH, full, nullptr);
    const std::string target = full + ("\\seed-" + std::to_string(seed) + "-iteration-" + std::to_string(iteration));
    SHCreateDirectoryExA(nullptr, full, nullptr);
    std::string from = profile + '\0', to = target + '\0';
    SHFILEOPSTRUCTA copy{};
    copy.wFunc = FO_COPY;
    copy.pFrom = from.c_str();
    copy.pTo = to.c_str();
    copy.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&copy);
    Write_File(target + "\\failure.txt", run.failure + "\n" + run.record);
}

} // namespace

int main(int argc, char** argv)
{
    unsigned long long iterations = 100, seed = 1, first = 0;
    std::string keep = TestSupport::Program_Folder() + "\\mutation-failures";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--iterations")
            iterations = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--seed")
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--first")
            first = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--keep")
            keep = argv[i + 1];
    }
    unsigned long long failures = 0;
    for (unsigned long long i = first; i < first + iterations; ++i) {
        const TestSupport::ScratchDirectory profile;
        const Run run = Run_Once(profile.Path(), seed, i);
        if (!run.failure.empty()) {
            ++failures;
            std::printf("FAIL seed %llu iteration %llu: %s\n%s", seed, i, run.failure.c_str(), run.record.c_str());
            std::fflush(stdout);
            Keep(profile.Path(), keep, run, seed, i);
        }
        if ((i + 1 - first) % 50 == 0 || i + 1 == first + iterations)
            std::printf("%llu of %llu runs, %llu failed\n", i + 1 - first, iterations, failures);
        std::fflush(stdout);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QOR");
    if (failures)
        std::printf("The inputs of every failing run are in %s\n", keep.c_str());
    return failures ? 1 : 0;
}
