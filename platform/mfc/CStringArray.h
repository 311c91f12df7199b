#pragma once
// MFC-style growable array of CString, as the connection-data libraries fill it.
#include <vector>

#include "CString.h"

class CStringArray
{
public:
    CStringArray() = default;

    long long GetSize() const noexcept { return static_cast<long long>(m_items.size()); }
    long long GetCount() const noexcept { return GetSize(); }
    bool IsEmpty() const noexcept { return m_items.empty(); }

    // Index checks are the caller's business, as in MFC; out of range is a bug.
    const CString& GetAt(long long index) const;
    CString& ElementAt(long long index);
    const CString& operator[](long long index) const { return GetAt(index); }
    CString& operator[](long long index) { return ElementAt(index); }
    void SetAt(long long index, const CString& value) { ElementAt(index) = value; }

    long long Add(const CString& value);
    void RemoveAll() noexcept { m_items.clear(); }

private:
    std::vector<CString> m_items;
};
