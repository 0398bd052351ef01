// What the layout probe compiles: every header whose classes cross the adaptor's boundaries, and the
// holder and list types whose field layout the grabber library shares.
#pragma once

#include "grabber/dvector.h"
#include "grabber/filter.h"
#include "grabber/listener.h"
#include "grabber/mem_buffer.h"
#include "grabber/refcount.h"
#include "grabber/sink.h"
#include "grabber/smart_ptr.h"
#include "grabber/vcd.h"
#include "host/adaptor.h"
#include "host/adaptor_manager.h"
#include "host/engine.h"
#include "host/frame.h"
#include "host/hardware_info.h"
#include "host/listeners.h"
#include "host/prop_container.h"
#include "host/prop_factory.h"
#include "host/source_info.h"
#include "instance/frame_listener.h"
#include "instance/property_listeners.h"

// sizeof asks the compiler for each record's layout, which is what the dump shows.
namespace qvx_abi_probe {
struct Sink;
constexpr unsigned long long kRecordSizes[] = {
    sizeof(KapriLib::refcount_ptr<Sink>),
    sizeof(KapriLib::refcount_ptr_wrapper<KapriLib::GrabberSinkType, Sink>),
    sizeof(KapriLib::dvector<Sink>),
    sizeof(KapriLib::smart_ptr<Sink>),
};
} // namespace qvx_abi_probe
