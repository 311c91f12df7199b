#include "CMapStringToString.h"

#include <cstdlib>

// MFC's block size sets how many associations are allocated at once; each one
// is allocated on its own here, so the argument only keeps the signature.
CMapStringToString::CMapStringToString(int /*nBlockSize*/) {}

CMapStringToString::~CMapStringToString() { RemoveAll(); }

unsigned int CMapStringToString::Hash_Key(const char* key) noexcept
{
    unsigned int hash = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key ? key : ""); *p; ++p)
        hash = (hash << 5) + hash + static_cast<signed char>(*p);
    return hash;
}

CMapStringToString::Assoc* CMapStringToString::Find(const char* key, unsigned int& bucket, unsigned int& hash) const
{
    hash = Hash_Key(key);
    bucket = hash % m_hashSize;
    if (m_table.empty())
        return nullptr;
    for (Assoc* assoc = m_table[bucket]; assoc; assoc = assoc->next)
        if (assoc->hash == hash && assoc->key == (key ? key : ""))
            return assoc;
    return nullptr;
}

CMapStringToString::Assoc* CMapStringToString::New_Assoc(const char* key, unsigned int bucket, unsigned int hash)
{
    if (m_table.empty())
        m_table.assign(m_hashSize, nullptr);
    Assoc* assoc = new Assoc{m_table[bucket], hash, CString(key), CString()};
    m_table[bucket] = assoc;
    ++m_count;
    return assoc;
}

bool CMapStringToString::Lookup(const char* key, CString& rValue) const
{
    unsigned int bucket, hash;
    const Assoc* assoc = Find(key, bucket, hash);
    if (!assoc)
        return false;
    rValue = assoc->value;
    return true;
}

CString& CMapStringToString::operator[](const char* key)
{
    unsigned int bucket, hash;
    Assoc* assoc = Find(key, bucket, hash);
    if (!assoc)
        assoc = New_Assoc(key, bucket, hash);
    return assoc->value;
}

void CMapStringToString::SetAt(const char* key, const char* newValue) { (*this)[key] = newValue; }

bool CMapStringToString::RemoveKey(const char* key)
{
    if (m_table.empty())
        return false;
    const unsigned int hash = Hash_Key(key);
    for (Assoc** link = &m_table[hash % m_hashSize]; *link; link = &(*link)->next) {
        Assoc* assoc = *link;
        if (assoc->hash == hash && assoc->key == (key ? key : "")) {
            *link = assoc->next;
            delete assoc;
            --m_count;
            return true;
        }
    }
    return false;
}

void CMapStringToString::RemoveAll() noexcept
{
    for (Assoc* head : m_table)
        while (head) {
            Assoc* next = head->next;
            delete head;
            head = next;
        }
    m_table.clear();
    m_count = 0;
}

void CMapStringToString::InitHashTable(unsigned int hashSize)
{
    if (m_count == 0 && hashSize > 0) {
        m_table.clear();
        m_hashSize = hashSize;
    }
}

// BEFORE_START_POSITION is MFC's mark, the address -1: compared with, never
// followed, and what callers of MFC's maps are handed first.
POSITION CMapStringToString::GetStartPosition() const noexcept
{
    return m_count == 0 ? nullptr : BEFORE_START_POSITION; // NOLINT(performance-no-int-to-ptr)
}

void CMapStringToString::GetNextAssoc(POSITION& rNextPosition, CString& rKey, CString& rValue) const
{
    const Assoc* assoc = reinterpret_cast<const Assoc*>(rNextPosition);
    if (assoc == nullptr)
        std::abort(); // iterating past the end is a caller's bug, as MFC asserts
    // NOLINTNEXTLINE(performance-no-int-to-ptr): MFC's mark, as above
    if (rNextPosition == BEFORE_START_POSITION) {
        assoc = nullptr;
        for (unsigned int bucket = 0; bucket < m_table.size() && !assoc; ++bucket)
            assoc = m_table[bucket];
    }
    rKey = assoc->key;
    rValue = assoc->value;

    const Assoc* next = assoc->next;
    for (unsigned int bucket = assoc->hash % m_hashSize + 1; !next && bucket < m_table.size(); ++bucket)
        next = m_table[bucket];
    rNextPosition = reinterpret_cast<POSITION>(const_cast<Assoc*>(next));
}
