#pragma once
#ifdef QORCDM_PROXY_EXPORTS
#define QORCDM_PROXY_API __declspec(dllexport)
#else
#define QORCDM_PROXY_API __declspec(dllimport)
#endif

namespace LogonManager { namespace Proxy {

// Whether the client stores its connections in the landscape format.
QORCDM_PROXY_API bool Landscape_Format_Enabled();

}} // namespace LogonManager::Proxy
