// The adaptor-kit stand-in forgives nothing: placeholder slots and oversized writes are contract breaches.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/toolbox/description_objects.h"
#include "sim/toolbox/listener_value.h"
#include "sim/toolbox/prop_container.h"

namespace {

using qvxtb::PropType;
using qvxtb::detail::ListenerValue;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ToolboxStrictness : public ::testing::Test {
protected:
    void SetUp() override { qvxtb::clearContractViolations(); }
    void TearDown() override { qvxtb::clearContractViolations(); }
};

TEST_F(ToolboxStrictness, ACallOfAPlaceholderSlotIsRecorded) {
    qvxtb::detail::PropFactoryObject factory;
    qvxtb::detail::PropContainer container("devicePropContainer");
    imaqkit::IPropFactory& asFactory = factory;
    imaqkit::IPropContainer& asContainer = container;
    asFactory.slot5();
    asContainer.slot12();
    EXPECT_THAT(qvxtb::contractViolations(), ElementsAre("propFactory: placeholder slot 5 called",
                                                         "propContainer: placeholder slot 12 called"));
    // The call records are a different thing: clearing them keeps the breaches.
    qvxtb::clearRecords();
    EXPECT_EQ(qvxtb::contractViolations().size(), 2u);
}

TEST_F(ToolboxStrictness, ValueBuffersAreAsBigAsTheDeclaredType) {
    EXPECT_EQ(ListenerValue::sizeOf(PropType::Integer), 4u);
    EXPECT_EQ(ListenerValue::sizeOf(PropType::Enum), 4u);
    EXPECT_EQ(ListenerValue::sizeOf(PropType::Double), 8u);

    qvxtb::detail::ValueBuffer initial{};
    initial.integer = 12;
    ListenerValue value(PropType::Integer, initial);
    std::int32_t seen = 0;
    std::memcpy(&seen, value.data(), sizeof seen);
    EXPECT_EQ(seen, 12);
    const std::int32_t written = -5;
    std::memcpy(value.data(), &written, sizeof written);
    EXPECT_EQ(value.finish("Gain").integer, -5);
    EXPECT_THAT(qvxtb::contractViolations(), IsEmpty());
}

#if defined(__SANITIZE_ADDRESS__)
#define QVX_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QVX_TEST_ASAN 1
#endif
#endif

void writeADouble(void* target) {
    const double number = 3.25;
    std::memcpy(target, &number, sizeof number);
}

TEST_F(ToolboxStrictness, ADoubleWrittenIntoAnIntegerBufferIsCaught) {
    qvxtb::detail::ValueBuffer initial{};
    ListenerValue value(PropType::Integer, initial);
#if defined(QVX_TEST_ASAN)
    // The guard bytes are poisoned: the write itself is stopped.
    EXPECT_DEATH(writeADouble(value.data()), "use-after-poison");
#else
    writeADouble(value.data());
    value.finish("Gain");
    EXPECT_THAT(qvxtb::contractViolations(), ElementsAre("value buffer of Gain written past its 4 bytes"));
#endif
}

} // namespace
