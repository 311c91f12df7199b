#pragma once
// A connection-data library (qorcdm.dll or qorcdm2.dll) loaded and resolved by
// the migration's own CdmLibraryFile, with its functions as members of the
// same name. The library is unloaded at the end, so the next test starts with
// no file open.
#include <gtest/gtest.h>

#include <string>

#include "Caller.h"
#include "CdmLibraryFile.h"

namespace TestSupport {

using QOR::FrontEnd::Landscape::Migration::CdmFunctionTable;
using QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;

class CdmLibrary : private CdmLibraryFile, public CdmFunctionTable
{
public:
    explicit CdmLibrary(CdmLibraryFile::Which which) : CdmLibraryFile(which), CdmFunctionTable(Functions()) {}

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
    CString Keys(const Caller& at, const CString& key, BOOL recursive, int type)
    {
        CStringArray keys;
        keys.Add("stale");
        const int result = type >= TREE_ITEM_TYPE_LINK ? GetEntryKeys(key, &keys, recursive, type)
                                                       : GetSubFolderKeys(key, &keys, recursive, type);
        EXPECT_AT(at, result == 0) << "listing below '" << key.GetString() << "' returned " << result;
        CString text;
        for (long long i = 0; i < keys.GetSize(); ++i)
            text += (i ? " " : "") + keys[i];
        return text;
    }
};

} // namespace TestSupport
