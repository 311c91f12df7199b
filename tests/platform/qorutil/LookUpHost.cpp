// Stands in for the host process: prints what the file look-ups of qorutil.dll
// answer for this process's command line and environment, one line each:
//   <look-up>|<result>|<source>|<path>
#include <windows.h>

#include <cstdio>

#include "QorUtil.h"

namespace {

typedef BOOL (*FileLookUp)(char*, int, int&);

void Print(const char* name, FileLookUp lookUp)
{
    char buffer[MAX_PATH] = {};
    int source = -1;
    const BOOL result = lookUp(buffer, MAX_PATH, source);
    std::printf("%s|%d|%d|%s\n", name, result ? 1 : 0, source, buffer);
}

} // namespace

int main()
{
    Print("landscape", GetQorLogonUserLandscapeFileToLoad);
    Print("ini", GetQorLogonUserIniFileToLoad);
    Print("shared", GetQorLogonLocalSharedLandscapeFileToLoad);
    return 0;
}
