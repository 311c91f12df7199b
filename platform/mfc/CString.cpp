#include "CString.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring> // and the CRT's _stricmp
#include <new>

namespace {

// Block layout: StringHeader, then capacity + 1 characters. Copies share a block
// (as MFC's strings do) and a string about to change gets a block of its own.
struct StringHeader
{
    volatile LONG references;
    int length;
    int capacity;
};

StringHeader* Header_Of(char* data) { return reinterpret_cast<StringHeader*>(data) - 1; }

char* Allocate(int capacity)
{
    void* block = std::malloc(sizeof(StringHeader) + static_cast<size_t>(capacity) + 1);
    if (!block)
        throw std::bad_alloc();
    auto* header = static_cast<StringHeader*>(block);
    header->references = 1;
    header->length = 0;
    header->capacity = capacity;
    char* data = reinterpret_cast<char*>(header + 1);
    data[0] = '\0';
    return data;
}

char* Share(char* data)
{
    if (data)
        InterlockedIncrement(&Header_Of(data)->references);
    return data;
}

void Release(char* data)
{
    if (data && InterlockedDecrement(&Header_Of(data)->references) == 0)
        std::free(Header_Of(data));
}

bool Shared(char* data) { return data && Header_Of(data)->references > 1; }

int Length_Of(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

} // namespace

const char* QOR::FrontEnd::Util::Printf_Arg(const CString& text) { return text.GetString(); }

CString::CString(const char* text) { Assign(text, Length_Of(text)); }

CString::CString(const char* text, int length) { Assign(text, text ? length : 0); }

CString::CString(char ch, int repeat)
{
    if (repeat <= 0 || ch == '\0')
        return;
    Reserve(repeat);
    std::memset(m_pszData, ch, static_cast<size_t>(repeat));
    m_pszData[repeat] = '\0';
    Header_Of(m_pszData)->length = repeat;
}

CString::CString(const CString& other) : m_pszData(Share(other.m_pszData)) {}

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData) { other.m_pszData = nullptr; }

CString::~CString() { Release(m_pszData); }

CString& CString::operator=(const CString& other)
{
    // Itself, or a copy that shares its block already: nothing changes.
    if (this != &other && m_pszData != other.m_pszData) {
        char* shared = Share(other.m_pszData);
        Release(m_pszData);
        m_pszData = shared;
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Release(m_pszData);
        m_pszData = other.m_pszData;
        other.m_pszData = nullptr;
    }
    return *this;
}

CString& CString::operator=(const char* text)
{
    Assign(text, Length_Of(text));
    return *this;
}

CString& CString::operator=(char ch)
{
    Assign(&ch, ch ? 1 : 0);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_pszData, other.GetLength());
    return *this;
}

CString& CString::operator+=(const char* text)
{
    Append(text, Length_Of(text));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, ch ? 1 : 0);
    return *this;
}

int CString::GetLength() const noexcept { return m_pszData ? Header_Of(m_pszData)->length : 0; }

void CString::Empty() noexcept
{
    Release(m_pszData);
    m_pszData = nullptr;
}

char CString::GetAt(int index) const { return (index >= 0 && index < GetLength()) ? m_pszData[index] : '\0'; }

int CString::Compare(const char* text) const { return std::strcmp(GetString(), text ? text : ""); }

int CString::CompareNoCase(const char* text) const { return _stricmp(GetString(), text ? text : ""); }

int CString::Remove(char ch)
{
    Make_Unique();
    int length = GetLength();
    int kept = 0;
    for (int i = 0; i < length; ++i)
        if (m_pszData[i] != ch)
            m_pszData[kept++] = m_pszData[i];
    if (length == 0)
        return 0;
    m_pszData[kept] = '\0';
    Header_Of(m_pszData)->length = kept;
    return length - kept;
}

int CString::Replace(char oldChar, char newChar)
{
    Make_Unique();
    int count = 0;
    for (int i = 0, length = GetLength(); i < length; ++i)
        if (m_pszData[i] == oldChar) {
            m_pszData[i] = newChar;
            ++count;
        }
    return count;
}

int CString::Replace(const char* oldText, const char* newText)
{
    const int oldLength = Length_Of(oldText);
    if (oldLength == 0 || IsEmpty())
        return 0;
    const int newLength = Length_Of(newText);
    CString result;
    int count = 0;
    const char* rest = m_pszData;
    for (const char* hit; (hit = std::strstr(rest, oldText)) != nullptr; rest = hit + oldLength) {
        result.Append(rest, static_cast<int>(hit - rest));
        result.Append(newText, newLength);
        ++count;
    }
    if (count == 0)
        return 0;
    result.Append(rest, Length_Of(rest));
    *this = std::move(result);
    return count;
}

void CString::FormatV(const char* format, va_list args)
{
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length <= 0) {
        Empty();
        return;
    }
    CString result;
    result.Reserve(length);
    std::vsnprintf(result.m_pszData, static_cast<size_t>(length) + 1, format, args);
    Header_Of(result.m_pszData)->length = length;
    *this = std::move(result);
}

void CString::Format_Args(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::Assign(const char* text, int length)
{
    if (length <= 0) {
        Empty();
        return;
    }
    if (m_pszData && text >= m_pszData && text <= m_pszData + GetLength()) {
        CString copy(text, length); // assigning a piece of ourselves
        *this = std::move(copy);
        return;
    }
    if (!m_pszData || Shared(m_pszData) || Header_Of(m_pszData)->capacity < length) {
        Release(m_pszData);
        m_pszData = nullptr;
        m_pszData = Allocate(length);
    }
    std::memcpy(m_pszData, text, static_cast<size_t>(length));
    m_pszData[length] = '\0';
    Header_Of(m_pszData)->length = length;
}

void CString::Append(const char* text, int length)
{
    if (length <= 0)
        return;
    const int oldLength = GetLength();
    if (m_pszData && text >= m_pszData && text <= m_pszData + oldLength) {
        CString copy(text, length); // appending a piece of ourselves
        Append(copy.m_pszData, length);
        return;
    }
    const int needed = oldLength + length;
    if (!m_pszData || Shared(m_pszData) || Header_Of(m_pszData)->capacity < needed)
        Reserve(needed + needed / 2);
    std::memcpy(m_pszData + oldLength, text, static_cast<size_t>(length));
    m_pszData[needed] = '\0';
    Header_Of(m_pszData)->length = needed;
}

void CString::Make_Unique()
{
    if (Shared(m_pszData))
        Reserve(GetLength());
}

void CString::Reserve(int capacity)
{
    if (m_pszData && !Shared(m_pszData) && Header_Of(m_pszData)->capacity >= capacity)
        return;
    char* data = Allocate(capacity);
    const int length = GetLength();
    if (length > 0)
        std::memcpy(data, m_pszData, static_cast<size_t>(length) + 1);
    Header_Of(data)->length = length;
    Release(m_pszData);
    m_pszData = data;
}

CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const char* right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const char* left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, char right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(char left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

bool operator==(const CString& left, const CString& right) { return left.Compare(right) == 0; }
bool operator==(const CString& left, const char* right) { return left.Compare(right) == 0; }
bool operator==(const char* left, const CString& right) { return right.Compare(left) == 0; }
bool operator!=(const CString& left, const CString& right) { return !(left == right); }
bool operator!=(const CString& left, const char* right) { return !(left == right); }
bool operator!=(const char* left, const CString& right) { return !(left == right); }
bool operator<(const CString& left, const CString& right) { return left.Compare(right) < 0; }
bool operator>(const CString& left, const CString& right) { return left.Compare(right) > 0; }
bool operator<=(const CString& left, const CString& right) { return left.Compare(right) <= 0; }
bool operator>=(const CString& left, const CString& right) { return left.Compare(right) >= 0; }
