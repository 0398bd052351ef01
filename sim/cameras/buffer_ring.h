// Frame buffers and the ring they come from: a buffer is reused only after its last handle is gone.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"
#include "sim/cameras/buffer_locks.h"
#include "sim/cameras/sim_api.h"

namespace qvxsim {

class SimMemBuffer final : public BufferBase {
public:
    SimMemBuffer(std::size_t bytes, SIZE size);
    ~SimMemBuffer() override;

    std::uint8_t* getPtr() const override { return data_.get(); }
    std::size_t bytes() const override { return bytes_; }
    SIZE pixels() const override { return size_; }
    std::uint64_t getFrameNumber() const { return frame_.load(std::memory_order_acquire); }
    void lockBuffer() override { locks_.lock(); }
    void unlockBuffer() override { locks_.unlock(); }
    bool isLocked() const { return locks_.held(); }

    void setFrameNumber(std::uint64_t frame) { frame_.store(frame, std::memory_order_release); }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t bytes_;
    SIZE size_;
    std::atomic<std::uint64_t> frame_{0};
    BufferLocks locks_;
};

class BufferRing : public std::enable_shared_from_this<BufferRing> {
public:
    BufferRing(int count, std::size_t bytes, SIZE size);

    bool matches(int count, std::size_t bytes, SIZE size) const;
    // A free buffer, waiting up to `wait` for one; null when none freed up in time.
    SimMemBuffer* acquire(std::chrono::milliseconds wait);
    // A handle on a library-side holder that gives the buffer back with its last reference.
    KapriLib::smart_ptr<KapriLib::MemBuffer> handOut(SimMemBuffer* buffer);
    void release(SimMemBuffer* buffer);

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<SimMemBuffer>> buffers_;
    std::vector<bool> busy_;
    std::size_t bytes_;
    SIZE size_;
};

} // namespace qvxsim
