#pragma once
#include <windows.h>

#include <string>

#include "QorUtilApi.h"

// Paths in and out are in the ANSI code page. What these functions read from the
// system is read with the wide-character calls (SystemText.h): a path that the
// code page cannot hold comes back empty, as a failure.

namespace QOR { namespace FrontEnd { namespace Util { namespace FileSystem {

// True when the path names an existing file (a folder is not a file).
QORUTIL_API bool File_Exists(const std::string& path);

// Absolute form of the path (GetFullPathName); empty when it cannot be formed.
QORUTIL_API std::string Full_Path(const std::string& path);

// As above, and splits the result: the folder ends with a separator, the name is
// what follows it. Both are empty when the path cannot be formed.
QORUTIL_API std::string Full_Path(const std::string& path, std::string& folder, std::string& name);

// Full path of the file of `module` (null: the program); empty on failure.
QORUTIL_API std::string Get_Module_File_Name(HINSTANCE module);

// Full path of the file `name` in the folder of `module`; empty on failure.
QORUTIL_API std::string Get_DLL_Path(HINSTANCE module, const std::string& name);

// Folder of `module`, without a trailing separator; empty on failure.
QORUTIL_API std::string Get_Module_Directory(HINSTANCE module);

// The process's current directory; empty on failure.
QORUTIL_API std::string Get_Current_Directory();

QORUTIL_API bool Set_Current_Directory(const std::string& path);

// Replaces the file `path` with `bytes` so that it is never anything but what
// it was or exactly `bytes`. The folders of the path that are missing are
// created first; then a temporary file beside it (same volume) is
// written, proven to hold every byte - each write's count, the flush to the
// disk, its size - and only then renamed over `path`. A library's success code
// is not taken as proof: Wine's MSXML reports success for a save that a full
// disk cut short. False, with the temporary file gone and `path` untouched,
// when any step fails.
QORUTIL_API bool Replace_File(const std::wstring& path, const std::string& bytes);

// The whole file; false when it cannot be read.
QORUTIL_API bool Read_File(const std::wstring& path, std::string& bytes);

}}}} // namespace QOR::FrontEnd::Util::FileSystem
