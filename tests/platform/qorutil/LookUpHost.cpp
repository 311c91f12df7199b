// Stands in for the host process: prints what the file look-ups of qorutil.dll
// answer for this process's command line and environment, one line each:
//   <look-up>|<result>|<path>|<source>
#include <windows.h>

#include <cstdio>

#include "QorUtil.h"

int main()
{
    const char* const names[] = {"landscape", "ini", "shared"};
    using LookUp = BOOL (*)(char*, int, int&);
    const LookUp lookUps[] = {GetQorLogonUserLandscapeFileToLoad, GetQorLogonUserIniFileToLoad,
                              GetQorLogonLocalSharedLandscapeFileToLoad};
    for (int i = 0; i < 3; ++i) {
        char buffer[MAX_PATH] = {};
        int source = -1;
        const BOOL result = lookUps[i](buffer, MAX_PATH, source);
        std::printf("%s|%d|%s|%d\n", names[i], result ? 1 : 0, buffer, source);
    }
    return 0;
}
