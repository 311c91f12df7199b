#include "CStringArray.h"

#include <cstdlib>

namespace {

[[noreturn]] void Index_Out_Of_Range()
{
    // MFC asserts here; a release build would read foreign memory. Stop instead.
    std::abort();
}

} // namespace

const CString& CStringArray::GetAt(long long index) const
{
    if (index < 0 || index >= GetSize())
        Index_Out_Of_Range();
    return m_items[static_cast<size_t>(index)];
}

CString& CStringArray::ElementAt(long long index)
{
    if (index < 0 || index >= GetSize())
        Index_Out_Of_Range();
    return m_items[static_cast<size_t>(index)];
}

long long CStringArray::Add(const CString& value)
{
    m_items.push_back(value);
    return GetSize() - 1;
}
