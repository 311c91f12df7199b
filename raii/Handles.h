#pragma once
// The owners of the Windows handles this code base holds, one line each.
#include <windows.h>

#include "UniqueAny.h"

namespace QOR { namespace FrontEnd { namespace Util {

// CreateFile and FindFirstFile report failure as INVALID_HANDLE_VALUE, most
// other calls as null.
constexpr std::intptr_t invalid_handle_value = -1;

using unique_hkey = unique_any<HKEY, decltype(&::RegCloseKey), ::RegCloseKey>;
using unique_hmodule = unique_any<HMODULE, decltype(&::FreeLibrary), ::FreeLibrary>;
using unique_handle = unique_any<HANDLE, decltype(&::CloseHandle), ::CloseHandle>;
using unique_hfile = unique_any<HANDLE, decltype(&::CloseHandle), ::CloseHandle, invalid_handle_value>;
using unique_hfind = unique_any<HANDLE, decltype(&::FindClose), ::FindClose, invalid_handle_value>;

}}} // namespace QOR::FrontEnd::Util
