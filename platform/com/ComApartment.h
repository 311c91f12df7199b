#pragma once
#include <objbase.h>

namespace QOR { namespace FrontEnd { namespace Util {

// This thread's membership in a COM apartment: CoInitialize once, and the one
// matching CoUninitialize when reset or destroyed. A failed initialisation is
// remembered as such and never balanced.
class ComApartment
{
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { Reset(); }

    HRESULT Initialize()
    {
        Reset();
        const HRESULT hr = CoInitialize(nullptr);
        m_initialized = SUCCEEDED(hr); // S_FALSE too: it must be balanced as well
        return hr;
    }

    void Reset()
    {
        if (m_initialized)
            CoUninitialize();
        m_initialized = false;
    }

private:
    bool m_initialized = false;
};

}}} // namespace QOR::FrontEnd::Util
