#pragma once
// The plain exports of the client's utility library: where the client's files
// are and what the host's settings say. Every function that fills a buffer
// leaves it empty when it has no answer.
#include <windows.h>

#include "CString.h"
#include "QorUtilApi.h"

// Where a file look-up found its answer, as far as callers tell sources apart.
enum QORUTIL_LOOKUP_SOURCE
{
    QORUTIL_SOURCE_NAMED = 2,          // connection file named by the host (command line or environment)
    QORUTIL_SOURCE_COMMAND_LINE = 201, // landscape file named on the host's command line
    QORUTIL_SOURCE_ENVIRONMENT = 202   // landscape file named by an environment variable
};

extern "C" {

// File look-ups: fill the buffer and the source, return non-zero on success.
QORUTIL_API BOOL GetQorLogonUserLandscapeFileToLoad(char* buffer, int size, int& source);
QORUTIL_API BOOL GetQorLogonUserIniFileToLoad(char* buffer, int size, int& source);
QORUTIL_API BOOL GetQorLogonLocalSharedLandscapeFileToLoad(char* buffer, int size, int& source);

// Server-side landscape settings: non-zero when a file is configured.
// `reserved` must be 0.
QORUTIL_API BOOL GetSharedLandscapeFileOnServer(int reserved, char* buffer, int size);
QORUTIL_API BOOL GetServerLandscapeFileName(int reserved, char* buffer, int size);
QORUTIL_API BOOL GetCoreLandscapeFileName(int reserved, char* buffer, int size);

// A string value of `key` into the buffer (the library chooses the root); the
// last argument is 0.
QORUTIL_API BOOL GetRegValString(char* buffer, int size, const char* key, const char* value, int mode);

// The same into a CString, `defaultValue` (may be null) when the value is
// missing; mode 3 asks the current user, then the machine.
QORUTIL_API BOOL getRegValStringEx(CString& result, const char* key, const char* value, const char* defaultValue,
                                   int mode);

// The trace directory. A trace writer looks both up by name at run time, as
// either may be missing from a library; both take a buffer of MAX_PATH bytes,
// and InitTraceDir returns non-zero when the buffer then holds the directory.
QORUTIL_API void InitBuffer(char* buffer);
QORUTIL_API BOOL InitTraceDir(char* buffer);

} // extern "C"
