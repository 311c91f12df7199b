#pragma once
#ifdef QORCDM2_EXPORTS
#define QORCDM2_API __declspec(dllexport)
#else
#define QORCDM2_API __declspec(dllimport)
#endif
