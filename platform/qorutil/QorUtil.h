#pragma once
// The plain exports of qorutil.dll: where the client's files are and what the
// host's settings say. Where each answer comes from is described in
// docs/settings.md. Every function that fills a buffer leaves it empty when it
// has no answer or the answer does not fit.
#include <windows.h>

#include "CString.h"
#include "QorUtilApi.h"

// Where a file look-up found its answer.
enum QORUTIL_LOOKUP_SOURCE
{
    QORUTIL_SOURCE_NONE = 0,           // no answer (no APPDATA, or the buffer is too small)
    QORUTIL_SOURCE_USER_DEFAULT = 1,   // the per-user default location
    QORUTIL_SOURCE_NAMED = 2,          // connection file named by the host (command line or environment)
    QORUTIL_SOURCE_COMMAND_LINE = 201, // landscape file named on the host's command line
    QORUTIL_SOURCE_ENVIRONMENT = 202   // landscape file named by an environment variable
};

// Registry modes of GetRegValString and getRegValStringEx (bit mask; 0 means both).
enum QORUTIL_REGISTRY_MODE
{
    QORUTIL_REG_CURRENT_USER = 1,
    QORUTIL_REG_LOCAL_MACHINE = 2,
    QORUTIL_REG_USER_THEN_MACHINE = 3
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

// A string value of `key` (below the chosen root) into the buffer; non-zero when found.
QORUTIL_API BOOL GetRegValString(char* buffer, int size, const char* key, const char* value, int mode);

// The same into a CString; `defaultValue` (may be null) when the value is missing.
QORUTIL_API BOOL getRegValStringEx(CString& result, const char* key, const char* value, const char* defaultValue,
                                   int mode);

// Trace directory, looked up by name at run time by the trace writer.
// Both take a buffer of MAX_PATH bytes.
QORUTIL_API void InitBuffer(char* buffer);
QORUTIL_API BOOL InitTraceDir(char* buffer);

} // extern "C"
