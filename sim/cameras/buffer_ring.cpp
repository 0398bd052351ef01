// Frame buffers and their ring; a buffer handed out goes back to the ring with its holder.
#include "sim/cameras/buffer_ring.h"

#include <cstring>

#include "sim/cameras/buffer_holder.h"
#include "sim/cameras/system.h"

namespace qvxsim {

SimMemBuffer::SimMemBuffer(std::size_t bytes, SIZE size)
    : data_(new std::uint8_t[bytes == 0 ? 1 : bytes]()), bytes_(bytes), size_(size) {
    System::instance().counters.liveBuffers.fetch_add(1);
}

SimMemBuffer::~SimMemBuffer() { System::instance().counters.liveBuffers.fetch_sub(1); }

BufferRing::BufferRing(int count, std::size_t bytes, SIZE size) : bytes_(bytes), size_(size) {
    for (int i = 0; i < count; ++i) buffers_.push_back(std::make_unique<SimMemBuffer>(bytes, size));
    busy_.assign(buffers_.size(), false);
}

bool BufferRing::matches(int count, std::size_t bytes, SIZE size) const {
    return static_cast<std::size_t>(count) == buffers_.size() && bytes == bytes_ && size.cx == size_.cx &&
           size.cy == size_.cy;
}

SimMemBuffer* BufferRing::acquire(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto freeIndex = [this]() -> std::size_t {
        for (std::size_t i = 0; i < busy_.size(); ++i)
            if (!busy_[i]) return i;
        return busy_.size();
    };
    std::size_t index = freeIndex();
    if (index == busy_.size() && wait.count() > 0) {
        freed_.wait_for(lock, wait, [&] { return (index = freeIndex()) != busy_.size(); });
    }
    if (index == busy_.size()) return nullptr;
    busy_[index] = true;
    return buffers_[index].get();
}

KapriLib::smart_ptr<KapriLib::MemBuffer> BufferRing::handOut(SimMemBuffer* buffer) {
    return holdBuffer(buffer, [ring = shared_from_this()](SimMemBuffer* done) { ring->release(done); });
}

void BufferRing::release(SimMemBuffer* buffer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = 0; i < buffers_.size(); ++i)
            if (buffers_[i].get() == buffer) busy_[i] = false;
    }
    freed_.notify_one();
}

} // namespace qvxsim

namespace KapriLib {
MemBuffer::~MemBuffer() = default;
} // namespace KapriLib
