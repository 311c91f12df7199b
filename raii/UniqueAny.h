#pragma once
// One owner for every kind of Windows handle, in the manner of WIL's unique_any:
// an owner is a one-line alias over this template and the function that
// releases the handle, so nothing is ever released by hand on each path.
#include <cstdint>
#include <utility>

namespace QOR { namespace FrontEnd { namespace Util {

// Handle: the handle type; Close: the type of the function that releases one
// (decltype(&::CloseHandle)); close: that function; invalid: the value that
// means "no handle", as an integer because INVALID_HANDLE_VALUE is not a
// constant expression.
template <typename Handle, typename Close, Close close, std::intptr_t invalid = 0>
class unique_any
{
public:
    unique_any() noexcept = default;
    explicit unique_any(Handle handle) noexcept : m_handle(handle) {}
    unique_any(unique_any&& other) noexcept : m_handle(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Invalid(); }

    // For out-parameters: releases what is held and hands out the slot.
    Handle* put() noexcept
    {
        reset();
        return &m_handle;
    }

    [[nodiscard]] Handle release() noexcept { return std::exchange(m_handle, Invalid()); }

    void reset(Handle handle = Invalid()) noexcept
    {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Invalid())
            close(old);
    }

private:
    // Handles are pointers that the system hands out, never made from integers
    // but this one, which is what the system itself compares against.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    static Handle Invalid() noexcept { return reinterpret_cast<Handle>(invalid); }

    Handle m_handle = Invalid();
};

}}} // namespace QOR::FrontEnd::Util
