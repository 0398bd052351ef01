// The adaptor kit's free functions (imported from imaqmex) and forward declarations of its interfaces.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#if defined(IMAQMEX_BUILD)
#define IMAQMEX_API __declspec(dllexport)
#else
#define IMAQMEX_API __declspec(dllimport)
#endif
#else
#define IMAQMEX_API __attribute__((visibility("default")))
#endif

namespace imaqkit {

class IAdaptor;
class IAdaptorManager;
class IEngine;
class IAdaptorFrame;
class IPropContainer;
class IPropInfo;
class IHardwareInfo;
class IDeviceInfo;
class IDeviceFormat;
class IPropFactory;
class IVideoSourceInfo;
class ITriggerInfo;

// Memory for every object of a class derived from IMAQInterface; null when none is left.
IMAQMEX_API void* imaqmalloc(std::size_t size);
IMAQMEX_API void imaqfree(void* block);

// Warns the user; `format` is read as a printf format with the arguments that follow.
IMAQMEX_API void adaptorWarn(const char* identifier, const char* format, ...);

// The host's clock, in seconds, used to stamp frames.
IMAQMEX_API double getCurrentTime();

// The host's manager of one adaptor object; the adaptor deletes it.
IMAQMEX_API IAdaptorManager* createAdaptorManager(IAdaptor* adaptor, IEngine* engine);

} // namespace imaqkit
