#pragma once
#include <string>

#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util {

// A new UUID as text, different on every call.
QORUTIL_API std::string Generate_Uuid();

}}} // namespace QOR::FrontEnd::Util
