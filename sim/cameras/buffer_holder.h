// The holder behind a frame buffer's handle: the buffer counts as in use until the last reference goes.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "grabber/mem_buffer.h"
#include "grabber/refcount.h"
#include "grabber/smart_ptr.h"
#include "sim/cameras/system.h"

namespace qvxsim {

// With its last reference the holder gives the buffer to `release` (back to its ring, or to the stream
// it came from), then stops counting it in use.
template <class Buffer, class Release> class BufferHolder final : public KapriLib::refcount_ptr_base {
public:
    BufferHolder(Buffer* buffer, Release release) : buffer_(buffer), release_(std::move(release)) {
        System::instance().counters.buffersInUse.fetch_add(1);
    }
    ~BufferHolder() override {
        release_(buffer_);
        System::instance().counters.buffersInUse.fetch_sub(1);
    }
    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return static_cast<KapriLib::MemBuffer*>(buffer_); }

private:
    std::atomic<std::int32_t> count_{1};
    Buffer* buffer_;
    Release release_;
};

// A handle on `buffer` with one reference, for the listeners.
template <class Buffer, class Release>
KapriLib::smart_ptr<KapriLib::MemBuffer> holdBuffer(Buffer* buffer, Release release) {
    return KapriLib::smart_ptr<KapriLib::MemBuffer>(
        new BufferHolder<Buffer, Release>(buffer, std::move(release)));
}

} // namespace qvxsim
