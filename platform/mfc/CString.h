#pragma once
// Narrow MFC-style string. One pointer wide, like MFC's: the pointer is the text
// itself (or null for the empty string, so no module's static data is ever shared
// between libraries that may be unloaded). The heap block carries a reference
// count, the length and the capacity in front of the text and comes from the C
// runtime heap that all our modules share, so a CString filled in one DLL may be
// released in another. Copies share the block until one of them changes.
#include <cstdarg>
#include <cstddef>

#include "PrintfArg.h"

class CString
{
public:
    CString() noexcept = default;
    CString(const char* text);
    CString(const char* text, int length);
    CString(char ch, int repeat = 1);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const char* text);
    CString& operator=(char ch);

    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    int GetLength() const noexcept;
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;

    const char* GetString() const noexcept { return m_pszData ? m_pszData : ""; }
    operator const char*() const noexcept { return GetString(); }
    char GetAt(int index) const;
    char operator[](int index) const { return GetAt(index); }

    // strcmp / _stricmp results: negative, zero or positive.
    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // Both return the number of characters removed or replaced.
    int Remove(char ch);
    int Replace(char oldChar, char newChar);
    int Replace(const char* oldText, const char* newText);

    template <typename... Args>
    void Format(const char* format, const Args&... args)
    {
        Format_Args(format, QOR::FrontEnd::Util::Printf_Arg(args)...);
    }
    void FormatV(const char* format, va_list args);

private:
    void Format_Args(const char* format, ...);
    void Assign(const char* text, int length);
    void Append(const char* text, int length);
    void Reserve(int capacity);
    void Make_Unique();

    char* m_pszData = nullptr;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
CString operator+(const char* left, const CString& right);
CString operator+(const CString& left, char right);
CString operator+(char left, const CString& right);

bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const char* right);
bool operator==(const char* left, const CString& right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, const char* right);
bool operator!=(const char* left, const CString& right);
bool operator<(const CString& left, const CString& right);
bool operator>(const CString& left, const CString& right);
bool operator<=(const CString& left, const CString& right);
bool operator>=(const CString& left, const CString& right);

static_assert(sizeof(CString) == sizeof(char*), "CString must stay one pointer wide");
