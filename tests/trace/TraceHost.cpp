// Writes a known set of trace lines at the level given on the command line and
// prints, one "name=value" per line, what the expected file depends on: ids,
// object addresses, source lines and the program path.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

class CTraceSample
{
public:
    bool Check(int value)
    {
        std::printf("entry=%d\n", __LINE__ + 1);
        QOR_TRACE_SCOPE(this, "value=%d, name=%s", value, CString("sample"));
        std::printf("error=%d\n", __LINE__ + 1);
        trace_scope.Error("error %d\n", value);
        std::printf("warning=%d\n", __LINE__ + 1);
        trace_scope.Warning("warning %s\n", std::string("text"));
        std::printf("note=%d\n", __LINE__ + 1);
        trace_scope.DeveloperNote("note\n");
        std::printf("data=%d\n", __LINE__ + 1);
        trace_scope.Data("data\n");
        std::printf("check_return=%d\n", __LINE__ + 1);
        return trace_scope.Return(value > 0);
    }

    std::string Name() const
    {
        std::printf("name_entry=%d\n", __LINE__ + 1);
        QOR_TRACE_SCOPE(this);
        std::printf("name_return=%d\n", __LINE__ + 1);
        return trace_scope.Return(std::string("x"));
    }
};

// A class name long enough that "Class::Function" needs more than 128 bytes.
class CTraceSampleWithAVeryLongNameThatKeepsGoingAndGoingSoThatTheShortNameDoesNotFitIntoTheBufferOfTheScope
{
public:
    int Count()
    {
        std::printf("long_entry=%d\n", __LINE__ + 1);
        QOR_TRACE_SCOPE(this);
        std::printf("long_return=%d\n", __LINE__ + 1);
        return trace_scope.Return(7);
    }
};

void Free_Function()
{
    std::printf("free_entry=%d\n", __LINE__ + 1);
    QOR_TRACE_SCOPE(nullptr);
    std::printf("free_data=%d\n", __LINE__ + 1);
    trace_scope.Data("free %d\n", 1);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration

int main(int argc, char** argv)
{
    using namespace QOR::FrontEnd::Landscape::Migration;
    const int level = argc > 1 ? std::atoi(argv[1]) : 0;
    Get_Trace(level);
    Get_Trace(4); // later levels do not matter

    CTraceSample sample;
    CTraceSampleWithAVeryLongNameThatKeepsGoingAndGoingSoThatTheShortNameDoesNotFitIntoTheBufferOfTheScope longSample;
    char program[512] = {};
    GetModuleFileNameA(nullptr, program, sizeof(program));
    std::printf("pid=%d\ntid=%d\nprogram=%s\nsample=%p\nlong=%p\n", static_cast<int>(GetCurrentProcessId()),
                static_cast<int>(GetCurrentThreadId()), program, static_cast<void*>(&sample),
                static_cast<void*>(&longSample));
    sample.Check(5);
    sample.Name();
    longSample.Count();
    Free_Function();
    std::fflush(stdout);
    return 0;
}
