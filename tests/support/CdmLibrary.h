#pragma once
// A connection-data library (qorcdm.dll or qorcdm2.dll) loaded by name, with its
// exports resolved the way the migration resolves them. The library is unloaded
// at the end, so the next test starts with no file open.
#include <gtest/gtest.h>

#include <string>

#include "CdmDataMan.h"

namespace TestSupport {

// The exports the tests call, as members of the same name.
#define CDM_FUNCTIONS(X)                                                                                        \
    X(Init) X(Exit) X(GetSubFolderKeys) X(GetEntryKeys) X(GetFolderAttributes) X(GetFolderAttribute)           \
    X(GetEntryAttribute) X(GetEntryData) X(GetParentFolderKey) X(GetConfigurationParameter) X(AddFolder)        \
    X(AddEntryToFolder) X(AddEntryLinkToFolder)
#define CDM_RESOLVE(name)                                                                                       \
    const CdmDataMan##name##_t name =                                                                           \
        reinterpret_cast<CdmDataMan##name##_t>(GetProcAddress(m_module, "CdmDataMan" #name));

class CdmLibrary
{
    HMODULE m_module; // first: the exports below are resolved from it

public:
    explicit CdmLibrary(const char* name) : m_module(LoadLibraryA(name)) {}
    ~CdmLibrary() { FreeLibrary(m_module); }
    CdmLibrary(const CdmLibrary&) = delete;
    CdmLibrary& operator=(const CdmLibrary&) = delete;
    CDM_FUNCTIONS(CDM_RESOLVE)

    CString message; // of the last Open
    // Opens `path`, tracing at `level` into `traceFile` (a name in the trace directory).
    int Open(const std::string& path, int level = 0, const char* traceFile = "")
    {
        int state = -1, error = 0;
        const int result = Init(path.c_str(), &state, &error, &message, level, traceFile);
        return result == state ? result : -1;
    }

    // The keys GetSubFolderKeys (folder types) or GetEntryKeys (entry types) lists,
    // as "key key ...". A listing starts empty.
    CString Keys(const CString& key, BOOL recursive, int type)
    {
        CStringArray keys;
        keys.Add("stale");
        EXPECT_EQ(0, type >= TREE_ITEM_TYPE_LINK ? GetEntryKeys(key, &keys, recursive, type)
                                                 : GetSubFolderKeys(key, &keys, recursive, type));
        CString text;
        for (long long i = 0; i < keys.GetSize(); ++i)
            text += (i ? " " : "") + keys[i];
        return text;
    }
};

#undef CDM_RESOLVE

} // namespace TestSupport
