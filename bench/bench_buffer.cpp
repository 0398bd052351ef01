// The benchmark's frame buffer and the reference-counted holder behind its handles.
#include "bench/bench_buffer.h"

namespace qvxbench {

class BenchBuffer::Holder final : public KapriLib::refcount_ptr_base {
public:
    explicit Holder(BenchBuffer& buffer) : buffer_(buffer) { buffer_.handles_.fetch_add(1); }
    ~Holder() override { buffer_.handles_.fetch_sub(1); }
    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return static_cast<KapriLib::MemBuffer*>(&buffer_); }

private:
    std::atomic<std::int32_t> count_{1};
    BenchBuffer& buffer_;
};

BenchBuffer::BenchBuffer(int width, int height, std::size_t bytesPerPixel)
    : bytes_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel) {
    data_.reset(new std::uint8_t[bytes_ == 0 ? 1 : bytes_]);
    // Every byte written once, so no page is first touched inside a measurement.
    for (std::size_t i = 0; i < bytes_; ++i) data_[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
}

KapriLib::smart_ptr<KapriLib::MemBuffer> BenchBuffer::handle() {
    return KapriLib::smart_ptr<KapriLib::MemBuffer>(new Holder(*this));
}

} // namespace qvxbench
