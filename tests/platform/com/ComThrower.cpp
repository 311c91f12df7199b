// com_thrower.dll passes an HRESULT through MsXmlAdaptor::Check, so that the tests
// see the _com_error leave a library the way it leaves the system's DLLs.
#include "MsXml.h"

extern "C" __declspec(dllexport) void Com_Thrower_Check(HRESULT hr) { QOR::FrontEnd::MsXmlAdaptor::Check(hr); }
