#pragma once
#include <functional>
#include <utility>

namespace QOR { namespace FrontEnd { namespace Util {

// Holds an action and runs it when the holder goes out of scope. The action must
// be set: an empty one is the caller's bug and throws std::bad_function_call.
class RAII
{
public:
    explicit RAII(std::function<void()> action) : m_action(std::move(action)) {}
    RAII(const RAII&) = delete;
    RAII& operator=(const RAII&) = delete;
    ~RAII() noexcept(false) { m_action(); }

private:
    std::function<void()> m_action;
};

}}} // namespace QOR::FrontEnd::Util
