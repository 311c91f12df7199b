#pragma once
// The utility library's own reading of registry text, behind its look-ups.
#include <windows.h>

#include <string>

#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Registry {

// Reads a REG_SZ or REG_EXPAND_SZ value (not expanded). False when missing.
QORUTIL_API bool Get_String(HKEY root, const std::string& key, const std::string& value, std::string& text);

}}}} // namespace QOR::FrontEnd::Util::Registry
