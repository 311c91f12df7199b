#pragma once
#include <windows.h>

#include <string>

#include "QorUtilApi.h"

// Paths in and out are in the ANSI code page.

namespace QOR { namespace FrontEnd { namespace Util { namespace FileSystem {

// True when the path names an existing file (a folder is not a file).
QORUTIL_API bool File_Exists(const std::string& path);

// Absolute form of the path; empty when it cannot be formed.
QORUTIL_API std::string Full_Path(const std::string& path);

// As above, and splits the result: the folder ends with a separator, the name is
// what follows it. Both are empty when the path cannot be formed.
QORUTIL_API std::string Full_Path(const std::string& path, std::string& folder, std::string& name);

// Full path of the file `name` in the folder of `module`; empty on failure.
QORUTIL_API std::string Get_DLL_Path(HINSTANCE module, const std::string& name);

// Folder of `module`, without a trailing separator; empty on failure.
QORUTIL_API std::string Get_Module_Directory(HINSTANCE module);

// The process's current directory; empty on failure.
QORUTIL_API std::string Get_Current_Directory();

QORUTIL_API bool Set_Current_Directory(const std::string& path);

}}}} // namespace QOR::FrontEnd::Util::FileSystem
