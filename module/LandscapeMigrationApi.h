#pragma once
#ifdef LANDSCAPE_MIGRATION_EXPORTS
#define LANDSCAPE_MIGRATION_API __declspec(dllexport)
#else
#define LANDSCAPE_MIGRATION_API __declspec(dllimport)
#endif
