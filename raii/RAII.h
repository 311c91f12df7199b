#pragma once
// The guard that holds any action without arguments, for code that names its
// guard's type: the checker's exit trace. It is the one scope guard with a
// std::function inside; an empty function is a bug of the caller and ends the
// process (the guard does not throw from its destructor).
#include <functional>

#include "ScopeExit.h"

namespace QOR { namespace FrontEnd { namespace Util {

using RAII = ScopeExit<std::function<void()>>;

}}} // namespace QOR::FrontEnd::Util
