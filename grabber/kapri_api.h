// Linkage of the grabber library's classes and functions, imported by the adaptor and exported by the
// library.
#pragma once

#if defined(_WIN32)
#if defined(KAPRI_BUILD)
#define KAPRI_API __declspec(dllexport)
#else
#define KAPRI_API __declspec(dllimport)
#endif
#else
#define KAPRI_API __attribute__((visibility("default")))
#endif
