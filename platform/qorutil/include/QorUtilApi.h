#pragma once
#ifdef QORUTIL_EXPORTS
#define QORUTIL_API __declspec(dllexport)
#else
#define QORUTIL_API __declspec(dllimport)
#endif
