// Frame sinks: creation from the adaptor's record, media subtypes per colour format, snap mode.
#include <mutex>

#include "sim/cameras/sim_sink.h"
#include "sim/cameras/system.h"

namespace KapriLib {

GrabberSinkType::~GrabberSinkType() = default;
MemBufferCollection::~MemBufferCollection() = default;

GUID getSubtypeFromColorformat(tColorformatEnum colorformat) {
    if (colorformat <= eInvalidColorformat || colorformat > eY16) return GUID{};
    // One made-up subtype per colour format, differing in the first field only.
    return GUID{0x51565800u + static_cast<std::uint32_t>(colorformat),
                0x0000,
                0x0010,
                {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

namespace {

class SinkHolder final : public refcount_ptr_base {
public:
    explicit SinkHolder(FrameHandlerSink* sink) : sink_(sink) {}
    ~SinkHolder() override { delete sink_; }
    void inc_ref() override { count_.fetch_add(1, std::memory_order_relaxed); }
    void dec_ref() override {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    void* get() const override { return sink_; }

private:
    std::atomic<std::int32_t> count_{1};
    FrameHandlerSink* sink_;
};

} // namespace

smart_ptr<FrameHandlerSink> FrameHandlerSink::create(const tCreateData& data) {
    qvxsim::SinkCreation record;
    record.bufferCount = data.bufferCount;
    for (const FrameTypeInfo& type : data.frameTypes)
        record.frameTypes.push_back(qvxsim::SinkFrameType{qvxsim::colorformatOfSubtype(type.subtype),
                                                          type.dim.cx, type.dim.cy, type.bufferSize});
    record.buffersGiven = data.buffers.get() != nullptr;
    record.outputTypes = data.outputTypes.size();
    const tColorformatEnum colorformat = data.frameTypes.empty()
                                             ? eInvalidColorformat
                                             : qvxsim::colorformatOfSubtype(data.frameTypes.front().subtype);
    {
        qvxsim::System& sys = qvxsim::System::instance();
        std::lock_guard<std::mutex> lock(sys.mutex);
        sys.log("FrameHandlerSink::create(" + std::to_string(static_cast<int>(colorformat)) + ")");
        sys.sinkCreations.push_back(std::move(record));
    }
    return smart_ptr<FrameHandlerSink>(new SinkHolder(new qvxsim::SimSink(colorformat)));
}

} // namespace KapriLib

namespace qvxsim {

SimSink::SimSink(KapriLib::tColorformatEnum colorformat) : colorformat_(colorformat) {
    System::instance().counters.liveSinks.fetch_add(1);
}

SimSink::~SimSink() { System::instance().counters.liveSinks.fetch_sub(1); }

bool SimSink::setSnapMode(bool snap) {
    System& sys = System::instance();
    {
        std::lock_guard<std::mutex> lock(sys.mutex);
        sys.log(std::string("setSnapMode(") + (snap ? "1" : "0") + ")");
    }
    snap_.store(snap);
    return true;
}

SimSink* simSinkOf(KapriLib::refcount_ptr_base* holder) {
    if (holder == nullptr) return nullptr;
    auto* base = static_cast<KapriLib::GrabberSinkType*>(holder->get());
    return dynamic_cast<SimSink*>(base);
}

KapriLib::tColorformatEnum colorformatOfSubtype(const GUID& subtype) {
    for (int c = KapriLib::eRGB32; c <= KapriLib::eY16; ++c) {
        const auto format = static_cast<KapriLib::tColorformatEnum>(c);
        if (KapriLib::getSubtypeFromColorformat(format) == subtype) return format;
    }
    return KapriLib::eInvalidColorformat;
}

} // namespace qvxsim
