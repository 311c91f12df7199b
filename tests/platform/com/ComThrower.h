#pragma once
// com_thrower.dll passes an HRESULT through MsXmlAdaptor::Check, so that the tests
// see the _com_error leave a library the way it leaves the system's DLLs.
#include <windows.h>

#ifdef COM_THROWER_EXPORTS
#define COM_THROWER_API extern "C" __declspec(dllexport)
#else
#define COM_THROWER_API extern "C" __declspec(dllimport)
#endif

COM_THROWER_API void Com_Thrower_Check(HRESULT hr);
