// Every allocation of the adaptor's own fails in turn: discovery, description, creation, region change,
// property get and set, one frame. Each run ends in an outcome the contract names and leaves nothing behind.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "tests/fault_matrix_fixture.h"
#include "tests/support/allocation_failures.h"

namespace qvxtest {
namespace {

using ::testing::HasSubstr;

// Far more than any step makes: a step that keeps reaching its failure point is a fault of its own.
constexpr long kMostPoints = 20000;

class AllocationSweep : public FaultMatrixFixture {
protected:
    void SetUp() override {
        FaultMatrixFixture::SetUp();
        if (!AllocationFailures::available())
            GTEST_SKIP() << "allocations cannot be attributed in this build";
        nlohmann::json matrix = matrixCamera();
        matrix["fast"] = true;
        loadCameras(matrix.dump() + R"(, {"name": "Norm Cam", "serial": "0x5", "inputChannels": ["In"],
            "norms": [{"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 64, "height": 48},
                                                    {"colorformat": "Y16", "width": 32, "height": 24}]},
                      {"name": "NTSC_M", "formats": null}]})");
        adaptor(); // loaded before any run: the library's code must be known when counting starts
    }
    void TearDown() override {
        AllocationFailures::disarm();
        AllocationFailures::failNewLargerThan(0);
        qvxtb::setRecordCalls(true);
        FaultMatrixFixture::TearDown();
    }

    // Runs `step(n)` for n = 1, 2, ... until a run no longer reaches its nth allocation. The step arms the
    // failure around what it tests and checks its outcome; here every run must also leave nothing alive
    // (`objectsStayOpen`: nothing more than before the first run, and no buffer held).
    template <class Step> long sweep(const std::string& name, Step&& step, bool objectsStayOpen = false) {
        const long imaqBefore = qvxtb::liveImaqAllocations();
        const long coTaskBefore = qvxplatform::liveCoTaskMemBlocks();
        const long bstrsBefore = qvxplatform::liveBstrs();
        long n = 1;
        for (; n <= kMostPoints; ++n) {
            SCOPED_TRACE(name + ": allocation " + std::to_string(n) + " fails");
            step(n);
            const bool reached = AllocationFailures::failed();
            EXPECT_EQ(qvxtb::liveImaqAllocations(), imaqBefore) << "imaqmalloc blocks left behind";
            EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), coTaskBefore) << "CoTaskMem blocks left behind";
            EXPECT_EQ(qvxplatform::liveBstrs(), bstrsBefore) << "BSTRs left behind";
            if (objectsStayOpen) {
                EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
                EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
            } else {
                expectNothingLeftAlive();
            }
            if (HasFailure() || !reached) break;
        }
        EXPECT_LT(n, kMostPoints) << name << " never completes";
        RecordProperty(name, static_cast<int>(n - 1));
        return n - 1;
    }
};

std::vector<std::string> namesOf(const std::vector<qvxtb::PropertyInfo>& properties) {
    std::vector<std::string> names;
    for (const auto& p : properties) names.push_back(p.name);
    return names;
}

TEST_F(AllocationSweep, DiscoveryReportsWhatItCouldOrRunsOutOfMemory) {
    const std::vector<qvxtb::DeviceInfo> full = adaptor().hwinfo();
    ASSERT_EQ(full.size(), 2u);
    const long points = sweep("discovery", [&](long n) {
        std::vector<qvxtb::DeviceInfo> devices;
        {
            ArmedAllocationFailure armed(n);
            try {
                devices = adaptor().hwinfo();
            } catch (const qvxtb::ToolboxError& error) {
                // Memory exhaustion may leave discovery; nothing else may.
                EXPECT_THAT(error.what(), HasSubstr("bad_alloc"));
            }
        }
        // Whatever is reported is what the full discovery reports: a device or format may be left out.
        for (const qvxtb::DeviceInfo& device : devices) {
            auto same =
                std::find_if(full.begin(), full.end(), [&](const auto& d) { return d.id == device.id; });
            ASSERT_NE(same, full.end());
            EXPECT_EQ(device.name, same->name);
            for (const qvxtb::FormatInfo& format : device.formats)
                EXPECT_TRUE(std::any_of(same->formats.begin(), same->formats.end(), [&](const auto& f) {
                    return f.id == format.id && f.name == format.name;
                })) << format.name;
        }
    });
    EXPECT_GT(points, 0);
}

TEST_F(AllocationSweep, DescriptionLeavesOutWhatItCouldNotDescribeAndRaisesNothing) {
    for (const auto& [device, format] : {std::pair<const char*, const char*>{kMatrixDevice, kMatrixFormat},
                                         {"Norm Cam", "PAL_B:RGB24 (64x48)"}}) {
        const qvxtb::DeviceDescription full = adaptor().describe(device, format);
        const std::vector<std::string> allNames = namesOf(full.properties);
        ASSERT_FALSE(allNames.empty());
        sweep(std::string("description of ") + device, [&](long n) {
            qvxtb::DeviceDescription description;
            {
                ArmedAllocationFailure armed(n);
                EXPECT_NO_THROW(description = adaptor().describe(device, format));
            }
            for (const std::string& name : namesOf(description.properties))
                EXPECT_THAT(allNames, ::testing::Contains(name));
            EXPECT_LE(description.sources.size(), full.sources.size());
        });
    }
}

const std::vector<std::string> kDeviceProps = {"SerialNo", "FrameRate",  "InputChannel",    "Gain",
                                               "Exposure", "StrobeMode", "TriggerPolarity", "TriggerSoftware",
                                               "Missing"};

TEST_F(AllocationSweep, CreationGivesAnObjectNullOrOutOfMemoryAndNoListenerOnFailure) {
    for (const char* device : {kMatrixDevice, "Norm Cam"}) {
        const char* format = device == std::string(kMatrixDevice) ? kMatrixFormat : "PAL_B:Y16 (32x24)";
        sweep(std::string("creation of ") + device, [&](long n) {
            imaqkit::IAdaptor* made = nullptr;
            bool outOfMemory = false;
            {
                ArmedAllocationFailure armed(n);
                try {
                    made = createDirect(device, format, kDeviceProps);
                } catch (const std::bad_alloc&) {
                    outOfMemory = true;
                } catch (...) {
                    ADD_FAILURE() << "something other than memory exhaustion left createInstance";
                }
            }
            if (made == nullptr || outOfMemory) {
                // Nothing of a failed construction stays with the host.
                EXPECT_TRUE(engine().deviceProps.setters_.empty());
                EXPECT_TRUE(engine().deviceProps.getters_.empty());
                EXPECT_TRUE(engine().engineProps.engineListeners_.empty());
            }
            deleteDirect();
        });
    }
}

TEST_F(AllocationSweep, RegionChangeFitsOrRunsOutOfMemoryAndLiveModeComesBack) {
    sweep("region change", [&](long n) {
        imaqkit::IAdaptor* made = createDirect(kMatrixDevice, kMatrixFormat);
        ASSERT_NE(made, nullptr);
        ASSERT_TRUE(made->openDevice());
        ASSERT_TRUE(made->startCapture());
        {
            ArmedAllocationFailure armed(n);
            try {
                made->setROI(8, 6, 64, 32);
            } catch (const std::bad_alloc&) {
            } catch (...) {
                ADD_FAILURE() << "the region change raised something other than memory exhaustion";
            }
        }
        EXPECT_TRUE(qvxsim::deviceState(kMatrixDevice).live);
        made->stopCapture();
        made->closeDevice();
        deleteDirect();
    });
}

TEST_F(AllocationSweep, PropertyGetAndSetTakeEffectOrRunOutOfMemory) {
    struct Access {
        const char* name;
        bool set;
    };
    for (const Access access :
         {Access{"Gain", true}, Access{"StrobeMode", true}, Access{"TriggerSoftware", true},
          Access{"Exposure", false}, Access{"Gain", false}, Access{"SerialNo", false},
          Access{"FrameRate", false}}) {
        const std::string name = std::string(access.set ? "set " : "get ") + access.name;
        sweep(name, [&](long n) {
            ASSERT_NE(createDirect(kMatrixDevice, kMatrixFormat, kDeviceProps), nullptr);
            const bool isDouble = std::string(access.name) == "Exposure";
            std::int32_t integer = std::string(access.name) == "StrobeMode" ? 1 : 20;
            double number = 0.5;
            void* value = isDouble ? static_cast<void*>(&number) : static_cast<void*>(&integer);
            long code = 0;
            {
                ArmedAllocationFailure armed(n);
                try {
                    code = access.set ? directSet(access.name, value) : directGet(access.name, value);
                } catch (const std::bad_alloc&) {
                } catch (...) {
                    ADD_FAILURE() << "raised something other than memory exhaustion or a result code";
                }
            }
            EXPECT_EQ(code, 0);
            deleteDirect();
        });
    }
}

TEST_F(AllocationSweep, OneFrameArrivesOrIsDroppedAndTheStartSaysWhenMemoryRanOut) {
    qvxtb::setRecordCalls(false);
    qvxtb::VideoInput& video = open(kMatrixDevice, kMatrixFormat);
    video.setROIPosition(8, 6, 64, 32);
    video.setFramesPerTrigger(1);
    sweep(
        "one frame",
        [&](long n) {
            std::vector<qvxtb::Frame> frames;
            {
                ArmedAllocationFailure armed(n);
                try {
                    video.start();
                    frames = video.getdata(1, 10);
                } catch (const qvxtb::ToolboxError& error) {
                    // Only a start may fail, and only for want of memory.
                    EXPECT_THAT(error.what(), HasSubstr("alloc"));
                    EXPECT_FALSE(video.isRunning());
                }
            }
            video.stop();
            for (const qvxtb::Frame& frame : frames)
                EXPECT_EQ(frame.data.size(), static_cast<std::size_t>(frame.width) * frame.height);
        },
        true);
    closeVideo();
}

TEST_F(AllocationSweep, ACameraWithoutMemoryForItsBuffersDoesNotStart) {
    loadCameras(R"({"name": "Big", "fast": true, "buffers": 4,
                    "descriptors": [{"colorformat": "Y800", "max": [512, 512]}]})");
    qvxtb::VideoInput& video = open("Big", "Y800 (512x512)");
    video.setFramesPerTrigger(1);
    AllocationFailures::failNewLargerThan(128 * 1024);
    EXPECT_THROW(video.start(), qvxtb::ToolboxError);
    AllocationFailures::failNewLargerThan(0);
    EXPECT_FALSE(video.isRunning());
    video.start();
    EXPECT_EQ(video.getdata(1).size(), 1u);
    video.stop();
    closeVideo();
}

} // namespace
} // namespace qvxtest
