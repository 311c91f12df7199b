#pragma once
// Owners for Windows resources in the manner of WIL's unique_any: one object owns
// one handle and releases it exactly once, on every path out of the scope.
#include <windows.h>

#include <utility>

namespace QOR { namespace FrontEnd { namespace Util {

// Traits: the handle type, the value that means "none" and how to close one.
template <typename Traits>
class UniqueHandle
{
    using Handle = typename Traits::Handle;

public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    // For out-parameters: releases what is held and hands out the slot.
    Handle* put() noexcept
    {
        reset();
        return &m_handle;
    }

    Handle release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Invalid();
};

struct Registry_Key_Traits
{
    using Handle = HKEY;
    static HKEY Invalid() noexcept { return nullptr; }
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};
struct Module_Traits
{
    using Handle = HMODULE;
    static HMODULE Invalid() noexcept { return nullptr; }
    static void Close(HMODULE module) noexcept { FreeLibrary(module); }
};
struct Kernel_Handle_Traits
{
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE, most other calls as null.
struct File_Handle_Traits
{
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};

// FindFirstFile's search, closed with FindClose.
struct Find_Handle_Traits
{
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { FindClose(handle); }
};

using unique_hkey = UniqueHandle<Registry_Key_Traits>;
using unique_hmodule = UniqueHandle<Module_Traits>;
using unique_handle = UniqueHandle<Kernel_Handle_Traits>;
using unique_hfile = UniqueHandle<File_Handle_Traits>;
using unique_hfind = UniqueHandle<Find_Handle_Traits>;

// Runs a callable when the scope ends, whichever way it ends; once at most:
// Run_Now runs it early, Release drops it.
template <typename Action>
class ScopeExit
{
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { Run_Now(); }

    void Run_Now()
    {
        if (std::exchange(m_armed, false))
            m_action();
    }
    void Release() noexcept { m_armed = false; }

private:
    Action m_action;
    bool m_armed = true;
};

template <typename Action>
ScopeExit<Action> scope_exit(Action action)
{
    return ScopeExit<Action>(std::move(action));
}

}}} // namespace QOR::FrontEnd::Util
