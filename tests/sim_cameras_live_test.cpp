// The camera stand-in's live mode: sinks, delivery thread, numbered frames, buffer return and counters.
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "grabber/refcount.h"
#include "tests/sim_cameras_support.h"

namespace simtest {
namespace {

using namespace KapriLib;
using namespace std::chrono_literals;

constexpr const char* kLiveCameras = R"({"devices":[
  {"name":"Fast","fast":true,"buffers":3,"sensor":[64,32],
   "descriptors":[{"colorformat":"Y800","min":[8,4],"max":[64,32],"step":[4,2],"roi":true},
                  {"colorformat":"RGB24","max":[16,8]},{"colorformat":"Y16","max":[16,8]}],
   "vcd":[{"name":"Gain","elements":[{"name":"Value","id":"value","range":{"min":0,"max":100,"default":50}}]},
          {"name":"Partial scan offset","id":"partialScanOffset","elements":[
            {"name":"Auto-center","id":"autoCenter","switch":{"value":false}},
            {"name":"X","id":"offsetX","range":{}},{"name":"Y","id":"offsetY","range":{}}]}]},
  {"name":"Paced","buffers":2,"descriptors":[{"colorformat":"Y800","max":[32,16],"fps":[200]}]},
  {"name":"Refuses","faults":{"startLive":true},"descriptors":[{"colorformat":"Y800","max":[32,16]}]}
]})";

smart_ptr<FrameHandlerSink> makeSink(tColorformatEnum colorformat) {
    tCreateData data;
    data.bufferCount = 5;
    const GUID subtype = getSubtypeFromColorformat(colorformat);
    if (!(subtype == GUID{})) data.frameTypes.push_back(FrameTypeInfo{subtype, SIZE{0, 0}, 0, 0});
    return FrameHandlerSink::create(data);
}

// Hands the sink over the way the adaptor does, through a wrapper holder of its own.
void attachSink(Grabber& g, const smart_ptr<FrameHandlerSink>& sink) {
    smart_ptr<GrabberSinkType> wrapper(
        new refcount_ptr_wrapper<GrabberSinkType, FrameHandlerSink>(sink.holder()));
    EXPECT_TRUE(g.setSinkType(wrapper));
}

class Recorder : public GrabberListener {
public:
    void frameReady(Grabber& caller, smart_ptr<MemBuffer> buffer) override {
        MemBuffer* b = buffer.get();
        b->lock();
        const std::uint32_t stamp = qvxsim::stampedFrameNumber(b->getPtr());
        const auto& sim = dynamic_cast<qvxsim::BufferBase&>(*b);
        const SIZE size = sim.pixels();
        // Calling back into the grabber from the delivery thread is allowed.
        const SIZE format = caller.getVideoFormat().getSize();
        b->unlock();
        std::lock_guard<std::mutex> lock(mutex_);
        stamps_.push_back(stamp);
        sizes_.push_back(size);
        formatWidth_ = format.cx;
        if (keep_ > 0) {
            kept_.push_back(buffer);
            --keep_;
        }
        if (!first_) first_.reset(new std::vector<std::uint8_t>(b->getPtr(), b->getPtr() + sim.bytes()));
        inside_.store(false);
    }
    std::vector<std::uint32_t> stamps() {
        std::lock_guard<std::mutex> lock(mutex_);
        return stamps_;
    }
    bool waitFor(std::size_t frames) {
        for (int i = 0; i < 400; ++i) {
            if (stamps().size() >= frames) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    std::mutex mutex_;
    std::vector<std::uint32_t> stamps_;
    std::vector<SIZE> sizes_;
    std::vector<smart_ptr<MemBuffer>> kept_;
    std::unique_ptr<std::vector<std::uint8_t>> first_;
    int keep_ = 0;
    int formatWidth_ = 0;
    std::atomic<bool> inside_{false};
};

class SimCamerasLive : public SimCameras {
protected:
    void SetUp() override {
        SimCameras::SetUp();
        qvxsim::loadCameras(kLiveCameras);
    }
};

TEST_F(SimCamerasLive, SinkRecordsItsCreationAndColourFormat) {
    {
        // What the sink was made for is what the library recorded of its creation, below.
        auto sink = makeSink(eY16);
        auto none = makeSink(eInvalidColorformat);
        EXPECT_EQ(qvxsim::counters().liveSinks, before_.liveSinks + 2);
    }
    const auto records = qvxsim::sinkCreations();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].bufferCount, 5);
    ASSERT_EQ(records[0].frameTypes.size(), 1u);
    EXPECT_EQ(records[0].frameTypes[0].colorformat, eY16);
    EXPECT_TRUE(records[1].frameTypes.empty());
    EXPECT_FALSE(records[0].buffersGiven);
    // Every colour format has its own subtype.
    for (int a = eRGB32; a <= eY16; ++a)
        for (int b = a + 1; b <= eY16; ++b)
            EXPECT_FALSE(getSubtypeFromColorformat(static_cast<tColorformatEnum>(a)) ==
                         getSubtypeFromColorformat(static_cast<tColorformatEnum>(b)));
    EXPECT_TRUE(getSubtypeFromColorformat(eInvalidColorformat) == GUID{});
}

TEST_F(SimCamerasLive, StartLiveNeedsDeviceSinkAndNoFault) {
    Grabber g;
    EXPECT_FALSE(g.startLive(false));
    ASSERT_TRUE(g.openDev("Fast"));
    EXPECT_FALSE(g.startLive(false)); // no sink
    auto sink = makeSink(eY800);
    attachSink(g, sink);
    ASSERT_TRUE(g.openDev("Refuses"));
    attachSink(g, sink);
    EXPECT_FALSE(g.startLive(false));
    EXPECT_FALSE(g.isLive());
    EXPECT_TRUE(logged("startLive(0)"));
}

TEST_F(SimCamerasLive, DeliversNumberedFramesAndStopLiveJoins) {
    Recorder recorder;
    {
        Grabber g;
        ASSERT_TRUE(g.addListener(&recorder, 0xFFFFFFFF));
        ASSERT_TRUE(g.openDev("Fast"));
        auto sink = makeSink(eY800);
        attachSink(g, sink);
        sink->setSnapMode(false);
        ASSERT_TRUE(g.startLive(false));
        EXPECT_TRUE(g.isLive());
        ASSERT_TRUE(recorder.waitFor(20));
        EXPECT_TRUE(g.stopLive());
        EXPECT_FALSE(g.isLive());
        const std::size_t seen = recorder.stamps().size();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(recorder.stamps().size(), seen); // nothing after stopLive returned
        EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
        EXPECT_EQ(qvxsim::counters().deliveredFrames, static_cast<long>(seen));
        EXPECT_EQ(qvxsim::counters().droppedFrames, 0); // fast cameras wait for buffers
        EXPECT_EQ(recorder.formatWidth_, 64);
    }
    const auto stamps = recorder.stamps();
    for (std::size_t i = 0; i < stamps.size(); ++i) EXPECT_EQ(stamps[i], i);
    EXPECT_EQ(qvxsim::counters().liveBuffers, 0);
}

TEST_F(SimCamerasLive, SnapModeOnDeliversNothing) {
    Recorder recorder;
    Grabber g;
    g.addListener(&recorder, 0xFFFFFFFF);
    ASSERT_TRUE(g.openDev("Fast"));
    auto sink = makeSink(eY800);
    attachSink(g, sink);
    ASSERT_TRUE(g.startLive(false));
    std::this_thread::sleep_for(30ms);
    g.stopLive();
    EXPECT_TRUE(recorder.stamps().empty());
}

TEST_F(SimCamerasLive, HeldBuffersAreNotReusedAndPacedCamerasDrop) {
    Recorder recorder;
    recorder.keep_ = 2; // the whole ring of the paced camera
    {
        Grabber g;
        g.addListener(&recorder, 0xFFFFFFFF);
        ASSERT_TRUE(g.openDev("Paced"));
        auto sink = makeSink(eY800);
        attachSink(g, sink);
        sink->setSnapMode(false);
        ASSERT_TRUE(g.startLive(false));
        ASSERT_TRUE(recorder.waitFor(2));
        for (int i = 0; i < 200 && qvxsim::counters().droppedFrames < 2; ++i)
            std::this_thread::sleep_for(5ms);
        EXPECT_GE(qvxsim::counters().droppedFrames, 2);
        EXPECT_EQ(qvxsim::counters().buffersInUse, 2);
        EXPECT_EQ(recorder.stamps().size(), 2u);
        // A held buffer keeps its contents; numbers skip the dropped frames once buffers come back.
        EXPECT_EQ(qvxsim::stampedFrameNumber(recorder.kept_[0]->getPtr()), 0u);
        recorder.kept_.clear();
        ASSERT_TRUE(recorder.waitFor(3));
        g.stopLive();
        const auto stamps = recorder.stamps();
        EXPECT_GT(stamps[2], 2u);
    }
    EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
}

TEST_F(SimCamerasLive, BufferLayoutFollowsTheSinkAndRegionOffsetsMoveThePicture) {
    Recorder rgb;
    {
        Grabber g;
        g.addListener(&rgb, 0xFFFFFFFF);
        ASSERT_TRUE(g.openDev("Fast"));
        ASSERT_TRUE(setFormat(g, "RGB24 (16x8)"));
        auto sink = makeSink(eRGB24);
        attachSink(g, sink);
        sink->setSnapMode(false);
        ASSERT_TRUE(g.startLive(false));
        ASSERT_TRUE(rgb.waitFor(1));
        g.stopLive();
    }
    ASSERT_TRUE(rgb.first_);
    EXPECT_EQ(rgb.first_->size(), 16u * 8u * 3u);

    // The same sensor spot seen through a region shifted by (4, 2) has the same level.
    auto grab = [&](int x, int y) {
        qvxsim::setVcdValue("Partial scan offset", "X", "range", x);
        qvxsim::setVcdValue("Partial scan offset", "Y", "range", y);
        Recorder r;
        Grabber g;
        g.addListener(&r, 0xFFFFFFFF);
        EXPECT_TRUE(g.openDev("Fast"));
        EXPECT_TRUE(setFormat(g, "Y800 (16x8)"));
        auto sink = makeSink(eY800);
        attachSink(g, sink);
        sink->setSnapMode(false);
        EXPECT_TRUE(g.startLive(false));
        EXPECT_TRUE(r.waitFor(1));
        g.stopLive();
        return *r.first_;
    };
    const auto origin = grab(0, 0);
    const auto shifted = grab(4, 2);
    ASSERT_EQ(origin.size(), 16u * 8u);
    EXPECT_EQ(shifted[0 * 16 + 5], origin[2 * 16 + 9]);
    EXPECT_NE(shifted[5], origin[5]);

    // Gain above its default brightens the picture.
    qvxsim::setVcdValue("Partial scan offset", "X", "range", 0);
    qvxsim::setVcdValue("Partial scan offset", "Y", "range", 0);
    qvxsim::setVcdValue("Gain", "Value", "range", 100);
    const auto bright = grab(0, 0);
    long sumBright = 0, sumOrigin = 0;
    for (std::size_t i = 4; i < bright.size(); ++i) {
        sumBright += bright[i];
        sumOrigin += origin[i];
    }
    EXPECT_GT(sumBright, sumOrigin);
}

TEST_F(SimCamerasLive, SinkHolderIsKeptUntilReplacedOrClosed) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Fast"));
    {
        auto sink = makeSink(eY800);
        attachSink(g, sink);
    }
    EXPECT_EQ(qvxsim::counters().liveSinks, before_.liveSinks + 1); // the grabber's reference keeps it
    EXPECT_EQ(qvxsim::deviceState("Fast").sinkColorformat, eY800);
    attachSink(g, makeSink(eY16));
    EXPECT_EQ(qvxsim::counters().liveSinks, before_.liveSinks + 1);
    g.closeDev();
    EXPECT_EQ(qvxsim::counters().liveSinks, before_.liveSinks);
}

TEST_F(SimCamerasLive, ListenerMayStopLiveFromInside) {
    struct Stopper : GrabberListener {
        void frameReady(Grabber& caller, smart_ptr<MemBuffer>) override {
            caller.stopLive();
            ++calls;
        }
        std::atomic<int> calls{0};
    } stopper;
    Grabber g;
    g.addListener(&stopper, 0xFFFFFFFF);
    ASSERT_TRUE(g.openDev("Fast"));
    auto sink = makeSink(eY800);
    attachSink(g, sink);
    sink->setSnapMode(false);
    ASSERT_TRUE(g.startLive(false));
    for (int i = 0; i < 200 && stopper.calls == 0; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(stopper.calls, 1);
    EXPECT_FALSE(g.isLive());
    // Live mode starts again after a stop from inside.
    ASSERT_TRUE(g.startLive(false));
    g.stopLive();
}

} // namespace
} // namespace simtest
