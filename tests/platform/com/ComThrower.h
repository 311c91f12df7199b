#pragma once
// Exports of com_thrower.dll: each makes one failing COM call the way the
// system's code does and lets the _com_error leave the library.
#include <windows.h>

#ifdef COM_THROWER_EXPORTS
#define COM_THROWER_API extern "C" __declspec(dllexport)
#else
#define COM_THROWER_API extern "C" __declspec(dllimport)
#endif

// Passes `hr` through MsXmlAdaptor::Check.
COM_THROWER_API void Com_Thrower_Check(HRESULT hr);
// createElement with `name` on a fresh DOM document, through Check.
COM_THROWER_API void Com_Thrower_Create_Element(const wchar_t* name);
// setAttribute on the root of an empty document: an empty IXMLDOMElementPtr.
COM_THROWER_API void Com_Thrower_Use_Null_Element();
