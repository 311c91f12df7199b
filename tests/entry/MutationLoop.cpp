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
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>
#include <random>

#include "ChildProcess.h"
#include "TestSupport.h"

using namespace TestSupport;

namespace {

size_t Pick(std::mt19937_64& random, size_t count)
{
    return count ? std::uniform_int_distribution<size_t>(0, count - 1)(random) : 0;
}

// One random change; returns what it did, for the record of a failing run.
std::string Mutate(std::string& text, std::mt19937_64& random)
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
    text = std::accumulate(lines.begin(), lines.end(), std::string());
    static const char* const done[] = {"", "cut a line", "cut a line short", "duplicated a line", "shuffled the lines"};
    return done[kind];
}

// Runs the host; one that takes longer than `seconds` is stopped and counts
// as hung. Empty when it ran to its end and reported the result of the
// start-up call, else what went wrong. A host that could not be started never
// saw the profile: that is this machine's fault, not the migration's, so `run`
// says so and the host is started once more.
std::string Run_Host(const std::string& run, DWORD seconds)
{
    const std::string host = "\"" + Program_Folder() + "\\logon_startup.exe\"";
    auto child = std::make_unique<Admin::ChildProcess>(host);
    if (!child->Started()) {
        std::printf("%s: the host did not start (error %lu); starting it again\n", run.c_str(), child->Start_Error());
        child = std::make_unique<Admin::ChildProcess>(host);
    }
    if (!child->Started())
        return "the host did not start (error " + std::to_string(child->Start_Error()) + ")";
    if (!child->Wait(seconds * 1000)) {
        child->Terminate(99);
        child->Wait();
        return "the host did not finish within " + std::to_string(seconds) + " s";
    }
    if (child->Exit_Code() != 0 || child->Output().find("Execute_Landscape_Migration_Check: ") == std::string::npos)
        return "the host returned no result (exit code " + std::to_string(child->Exit_Code()) + ")";
    return std::string();
}

// One run; returns what went wrong (empty: it passed) and records what was mutated.
std::string Run_Once(const std::string& profile, unsigned long long seed, unsigned long long iteration,
                     std::string& record)
{
    std::mt19937_64 random(seed * 1000003ULL + iteration);
    std::filesystem::create_directories(profile + "\\traces");
    Install_Sample(profile);
    for (size_t f = 0, files = 1 + Pick(random, 3); f < files; ++f) {
        const char* file = Sample_Files[Pick(random, std::size(Sample_Files))];
        std::string text = Read_File(profile + "\\" + file);
        for (size_t c = 0, changes = 1 + Pick(random, 4); c < changes; ++c)
            record += std::string(file) + ": " + Mutate(text, random) + "\n";
        Write_File(profile + "\\" + file, text);
    }
    const std::string level = Pick(random, 2) ? "4" : "0";
    record += "trace level " + level + "\n";

    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QOR");
    SetEnvironmentVariableA("APPDATA", (profile + "\\AppData").c_str());
    SetEnvironmentVariableA("ProgramData", (profile + "\\ProgramData").c_str());
    SetEnvironmentVariableA("windir", (profile + "\\Windows").c_str());
    SetEnvironmentVariableA("QOR_TRACE_DIR", (profile + "\\traces").c_str());
    SetEnvironmentVariableA("LD_MIG_TRC_LEVEL", level.c_str());

    const std::string ini = profile + "\\" + Sample_Files[0], before = Read_File(ini);
    std::string failure = Run_Host("seed " + std::to_string(seed) + " iteration " + std::to_string(iteration), 120);
    if (failure.empty() && Read_File(ini) != before)
        failure = "qorlogon.ini changed";
    const std::string common = profile + "\\AppData\\QOR\\Common";
    // No landscape file was there before the run: a backup means that the run
    // wrote a file that it could not read again.
    for (const std::string& name : Files_In(common))
        if (failure.empty() && name.find(".bak") != std::string::npos)
            failure = name + " was made: a landscape file did not load";
        else if (failure.empty() && name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0 &&
                 !Loads_As_Xml(common + "\\" + name))
            failure = name + " does not load";
    return failure;
}

// Keeps the whole profile of a failing run (inputs, landscapes, traces, output)
// and the report of what went wrong and what was mutated.
void Keep(const std::string& profile, const std::string& keep, const std::string& report, unsigned long long seed,
          unsigned long long iteration)
{
    const std::string target = keep + "\\seed-" + std::to_string(seed) + "-iteration-" + std::to_string(iteration);
    std::error_code ignored;
    std::filesystem::create_directories(target, ignored);
    std::filesystem::copy(profile, target, std::filesystem::copy_options::recursive, ignored);
    Write_File(target + "\\failure.txt", report);
}

} // namespace

int main(int argc, char** argv)
{
    unsigned long long iterations = 100, seed = 1, first = 0;
    std::string keep = Program_Folder() + "\\mutation-failures";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--keep")
            keep = argv[i + 1];
        for (const auto& [name, value] :
             {std::pair{"--iterations", &iterations}, {"--seed", &seed}, {"--first", &first}})
            if (option == name)
                *value = std::strtoull(argv[i + 1], nullptr, 10);
    }
    unsigned long long failures = 0;
    for (unsigned long long i = first; i < first + iterations; ++i) {
        const ScratchDirectory profile;
        std::string record;
        const std::string failure = Run_Once(profile.Path(), seed, i, record);
        if (!failure.empty()) {
            ++failures;
            std::printf("FAIL seed %llu iteration %llu: %s\n%s", seed, i, failure.c_str(), record.c_str());
            std::fflush(stdout);
            Keep(profile.Path(), keep, failure + "\n" + record, seed, i);
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
