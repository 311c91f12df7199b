#pragma once
#include <windows.h>

#include <string>

#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Registry {

// The DWORD value, or 0 when the key or value is missing or not a DWORD.
// `found` (may be null) tells which.
QORUTIL_API DWORD Get_DWORD(HKEY root, const std::string& key, const std::string& value, bool* found);

// Both create the key when it is missing.
QORUTIL_API bool Set_DWORD(HKEY root, const std::string& key, const std::string& value, DWORD number);
QORUTIL_API bool Set_String(HKEY root, const std::string& key, const std::string& value, const std::string& text);

}}}} // namespace QOR::FrontEnd::Util::Registry
