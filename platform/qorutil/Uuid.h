#pragma once
#include <string>

#include "QorUtilApi.h"

namespace QOR { namespace FrontEnd { namespace Util {

// A new random UUID as 36 upper-case characters, e.g. "1B4E28BA-2FA1-11D2-883F-0016D3CCA427".
QORUTIL_API std::string Generate_Uuid();

}}} // namespace QOR::FrontEnd::Util
