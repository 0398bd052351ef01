// A frame buffer of the benchmark's own, filled once, handed to the adaptor as the grabber library would.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"

namespace qvxbench {

class BenchBuffer final : public KapriLib::MemBuffer {
public:
    BenchBuffer(int width, int height, std::size_t bytesPerPixel);

    std::uint8_t* getPtr() const override { return data_.get(); }
    std::size_t getBufferSize() const override { return bytes_; }
    SIZE getSize() const override { return size_; }
    std::uint64_t getFrameNumber() const override { return 0; }
    void lock() override { locks_.fetch_add(1, std::memory_order_acquire); }
    void unlock() override { locks_.fetch_sub(1, std::memory_order_release); }
    bool isLocked() const override { return locks_.load() > 0; }

    // A handle as the library hands it to the listener; the buffer outlives every handle.
    KapriLib::smart_ptr<KapriLib::MemBuffer> handle();
    // Handles taken and not yet released, and locks not yet undone: both must be 0 between frames.
    long handlesAlive() const { return handles_.load(); }
    int locks() const { return locks_.load(); }

private:
    class Holder;
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t bytes_;
    SIZE size_;
    std::atomic<int> locks_{0};
    std::atomic<long> handles_{0};
};

} // namespace qvxbench
