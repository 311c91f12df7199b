#pragma once
// MFC-style hash map from CString to CString. Iteration order is MFC's: buckets in
// index order, and inside a bucket the most recently added key first. The hash
// and the default table size (17) are MFC's too, so a property map is walked in
// the same order that the client's own code would see.
#include <vector>

#include "CString.h"

struct __POSITION // NOLINT(bugprone-reserved-identifier): MFC's own name, as code written for MFC may spell it
{};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1))

class CMapStringToString
{
public:
    explicit CMapStringToString(int nBlockSize = 10);
    ~CMapStringToString();
    CMapStringToString(const CMapStringToString&) = delete;
    CMapStringToString& operator=(const CMapStringToString&) = delete;

    int GetCount() const noexcept { return m_count; }
    int GetSize() const noexcept { return m_count; }
    bool IsEmpty() const noexcept { return m_count == 0; }

    bool Lookup(const char* key, CString& rValue) const;
    void SetAt(const char* key, const char* newValue);
    CString& operator[](const char* key);
    bool RemoveKey(const char* key);
    void RemoveAll() noexcept;

    // Sizes the table before the first insertion; ignored once keys are stored.
    void InitHashTable(unsigned int hashSize);

    POSITION GetStartPosition() const noexcept;
    void GetNextAssoc(POSITION& rNextPosition, CString& rKey, CString& rValue) const;

private:
    struct Assoc
    {
        Assoc* next;
        unsigned int hash;
        CString key;
        CString value;
    };

    static unsigned int Hash_Key(const char* key) noexcept;
    Assoc* Find(const char* key, unsigned int& bucket, unsigned int& hash) const;
    Assoc* New_Assoc(const char* key, unsigned int bucket, unsigned int hash);

    std::vector<Assoc*> m_table;
    unsigned int m_hashSize = 17;
    int m_count = 0;
};
