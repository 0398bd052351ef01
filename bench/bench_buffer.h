// A frame buffer of the benchmark's own, filled once, handed to the adaptor as the grabber library would.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"
#include "sim/cameras/sim_api.h"

namespace qvxbench {

class BenchBuffer final : public qvxsim::BufferBase {
public:
    BenchBuffer(int width, int height, std::size_t bytesPerPixel);

    std::uint8_t* getPtr() const override { return data_.get(); }
    std::size_t bytes() const override { return bytes_; }
    void lockBuffer() override { locks_.fetch_add(1, std::memory_order_acquire); }
    void unlockBuffer() override { locks_.fetch_sub(1, std::memory_order_release); }

    // A handle as the library hands it to the listener; the buffer outlives every handle.
    KapriLib::smart_ptr<KapriLib::MemBuffer> handle();
    // Handles taken and not yet released, and locks not yet undone: both must be 0 between frames.
    long handlesAlive() const { return handles_.load(); }
    int locks() const { return locks_.load(); }

private:
    class Holder;
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t bytes_;
    std::atomic<int> locks_{0};
    std::atomic<long> handles_{0};
};

} // namespace qvxbench
