#pragma once
#ifdef QORCDM_PROXY_EXPORTS
#define QORCDM_PROXY_API __declspec(dllexport)
#else
#define QORCDM_PROXY_API __declspec(dllimport)
#endif

namespace LogonManager { namespace Proxy {

// Whether the client stores its connections in the landscape format. Read from
// the DWORD "LandscapeFormatEnabled" below Software\QOR\QORLogon\Options, the
// current user's value first, then the machine's; enabled unless a value is 0.
QORCDM_PROXY_API bool Landscape_Format_Enabled();

}} // namespace LogonManager::Proxy
