// Traces a known set of lines at the level given on the command line. Prints the
// trace file's name, then what the file must hold as the trace format lays it
// out: the host alone knows its ids, object addresses and source lines. Level 5
// is printed without stamps; the test takes them out of the file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ProductVersion.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// A class name long enough that "Class::Function" needs more than 128 bytes.
class CTraceSampleWithAVeryLongNameThatKeepsGoingAndGoingSoThatTheShortNameDoesNotFitIntoTheBufferOfTheScope
{
public:
    int line = 0; // where Check opens its scope

    bool Check(int value)
    {
        line = __LINE__ + 1;
        QOR_TRACE_SCOPE(this, "value=%d, name=%s", value, CString("sample"));
        trace_scope.Error("error %d\n", value);
        trace_scope.Warning("warning %s\n", std::string("text"));
        trace_scope.DeveloperNote("note\n");
        trace_scope.Data("data\n");
        return trace_scope.Return(value > 0);
    }
} sample;

std::string Free(int& line)
{
    line = __LINE__ + 1;
    QOR_TRACE_SCOPE(nullptr);
    return trace_scope.Return(std::string("x"));
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration

int main(int argc, char** argv)
{
    using namespace QOR::FrontEnd::Landscape::Migration;
    const int level = argc > 1 ? std::atoi(argv[1]) : 0;
    Get_Trace(level);
    Get_Trace(4); // the first request fixes the level
    int free = 0;
    sample.Check(5);
    Free(free);

    char program[MAX_PATH], object[32];
    GetModuleFileNameA(nullptr, program, sizeof(program));
    std::snprintf(object, sizeof(object), "[%p]/", static_cast<void*>(&sample));
    const std::string id = "TID: " + std::to_string(GetCurrentThreadId()) + ", ",
                      result = ") - this can be changed "
                               "before exitting the function (in this case it can be seen below).\n";
    const std::string at = id + "CTraceSampleWithAVeryLongNameThatKeepsGoingAndGoingSoThatTheShortNameDoesNotFitInto"
                                "TheBufferOfTheScope::Check";
    const auto line = [](int number) { return std::to_string(number) + ": "; };
    const std::pair<int, std::string> lines[] = {
        {3, "landscape_migration.dll v" LANDSCAPE_MIGRATION_VERSION "\n\n"},
        {4, at + object + line(sample.line) + "CALL(value=5, name=sample)\n"},
        {1, "***ERROR***: " + at + object + line(sample.line + 1) + "error 5\n"},
        {2, "***WARNING*: " + at + object + line(sample.line + 2) + "warning text\n"},
        {3, at + object + line(sample.line + 3) + "note\n"},
        {4, at + object + line(sample.line + 4) + "data\n"},
        {4, at + "/" + line(sample.line + 5) + "Setting return value:(true" + result},
        {4, id + "Free/" + line(free) + "CALL\n"},
        {4, id + "Free/" + line(free + 1) + "Setting return value:(x" + result},
    };
    std::printf("landscape_migration_%.4d_%.4d.trc\n%s\n****************************  QOR SE, Trace File  %s\n"
                "** Main trace mode: Error, Warning, Developer Notes and additional data \n** Program: \t%s\n%s\n\n",
                static_cast<int>(GetCurrentProcessId()), static_cast<int>(GetCurrentThreadId()),
                std::string(80, '*').c_str(), std::string(30, '*').c_str(), program, std::string(80, '*').c_str());
    for (const auto& [lineLevel, text] : lines)
        if (lineLevel <= level) // stamps take the place of the prefixes
            std::fputs((level == 5 && text[0] == '*' ? text.substr(13) : text).c_str(), stdout);
    return 0;
}
