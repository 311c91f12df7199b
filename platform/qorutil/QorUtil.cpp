#include "QorUtil.h"

#include <cstring>
#include <string>

#include "QorLogonSettings.h"

namespace {

// Copies the answer if it fits; otherwise leaves the buffer empty.
BOOL To_Buffer(const std::string& text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return FALSE;
    if (text.empty() || text.size() >= static_cast<size_t>(size)) {
        buffer[0] = '\0';
        return FALSE;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return TRUE;
}

BOOL File_To_Buffer(const std::string& path, int foundSource, char* buffer, int size, int& source)
{
    const BOOL copied = To_Buffer(path, buffer, size);
    source = copied ? foundSource : QORUTIL_SOURCE_NONE;
    return copied;
}

} // namespace

BOOL GetQorLogonUserLandscapeFileToLoad(char* buffer, int size, int& source)
{
    int found = QORUTIL_SOURCE_NONE;
    const std::string path = QorLogonSettings::User_Landscape(found);
    return File_To_Buffer(path, found, buffer, size, source);
}

BOOL GetQorLogonUserIniFileToLoad(char* buffer, int size, int& source)
{
    int found = QORUTIL_SOURCE_NONE;
    const std::string path = QorLogonSettings::User_Ini(found);
    return File_To_Buffer(path, found, buffer, size, source);
}

BOOL GetQorLogonLocalSharedLandscapeFileToLoad(char* buffer, int size, int& source)
{
    int found = QORUTIL_SOURCE_NONE;
    const std::string path = QorLogonSettings::Local_Shared_Landscape(found);
    return File_To_Buffer(path, found, buffer, size, source);
}

BOOL GetSharedLandscapeFileOnServer(int, char* buffer, int size)
{
    return To_Buffer(QorLogonSettings::Shared_Landscape_On_Server(), buffer, size);
}

BOOL GetServerLandscapeFileName(int, char* buffer, int size)
{
    return To_Buffer(QorLogonSettings::Server_Landscape_File(), buffer, size);
}

BOOL GetCoreLandscapeFileName(int, char* buffer, int size)
{
    return To_Buffer(QorLogonSettings::Core_Landscape_File(), buffer, size);
}

BOOL GetRegValString(char* buffer, int size, const char* key, const char* value, int mode)
{
    std::string text;
    QorLogonSettings::Registry_String(key ? key : "", value ? value : "", mode, text);
    return To_Buffer(text, buffer, size);
}

BOOL getRegValStringEx(CString& result, const char* key, const char* value, const char* defaultValue, int mode)
{
    std::string text;
    const bool found = QorLogonSettings::Registry_String(key ? key : "", value ? value : "", mode, text);
    result = found ? text.c_str() : defaultValue;
    return found ? TRUE : FALSE;
}

void InitBuffer(char* buffer)
{
    if (buffer)
        std::memset(buffer, 0, MAX_PATH);
}

BOOL InitTraceDir(char* buffer) { return To_Buffer(QorLogonSettings::Trace_Directory(), buffer, MAX_PATH); }
