#pragma once
// The one scope guard: an action that runs when the scope ends, whichever way
// it ends, at most once.
#include <utility>

namespace QOR { namespace FrontEnd { namespace Util {

// reset() runs the action early, release() drops it: code that must undo a
// step on every way out and also on purpose in the middle needs no flag beside
// the guard. The action must not throw: it runs from a destructor.
template <typename Action>
class [[nodiscard]] ScopeExit
{
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { reset(); }

    void reset() noexcept
    {
        if (std::exchange(m_armed, false))
            m_action();
    }
    void release() noexcept { m_armed = false; }

private:
    Action m_action;
    bool m_armed = true;
};

// Guaranteed copy elision hands the guard over without a move.
template <typename Action>
[[nodiscard]] ScopeExit<Action> scope_exit(Action action)
{
    return ScopeExit<Action>(std::move(action));
}

}}} // namespace QOR::FrontEnd::Util
