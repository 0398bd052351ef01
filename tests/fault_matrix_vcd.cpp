// Fault matrix, VCD reads and writes: every failing read of the property lookup's walk and of the typed
// interfaces reaches the host as its result code, unchecked reads let the work go on, nothing stays alive.
#include <cctype>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "tests/fault_matrix_fixture.h"

namespace qvxtest {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct VcdFault {
    const char* where;
    const char* call;
};

std::ostream& operator<<(std::ostream& out, const VcdFault& fault) {
    return out << fault.where << " " << fault.call;
}

std::string faultName(const ::testing::TestParamInfo<VcdFault>& info) {
    std::string name = std::string(info.param.where) + "_" + info.param.call;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// ---- Property get and set: the lookup's walk and the typed interfaces ---------------------------

struct AccessFault {
    VcdFault fault;
    const char* property;
    bool set;
};

std::ostream& operator<<(std::ostream& out, const AccessFault& access) {
    return out << (access.set ? "set " : "get ") << access.property << " with " << access.fault;
}

class FaultMatrixAccess : public FaultMatrixFixture, public ::testing::WithParamInterface<AccessFault> {};

TEST_P(FaultMatrixAccess, FailingReadOrWriteRaisesItsCodeToTheHost) {
    const AccessFault& access = GetParam();
    loadWithFault(access.fault.where, access.fault.call);
    // Created without the toolbox's description, so no read before this one meets the fault.
    ASSERT_NE(createDirect(kMatrixDevice, kMatrixFormat, {access.property}), nullptr);
    unsigned char value[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    const long code = access.set ? directSet(access.property, value) : directGet(access.property, value);
    EXPECT_EQ(code, kFaultCode);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

std::string accessName(const ::testing::TestParamInfo<AccessFault>& info) {
    std::string name = std::string(info.param.set ? "Set" : "Get") + info.param.property + "_" +
                       info.param.fault.where + "_" + info.param.fault.call;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryReadAndWrite, FaultMatrixAccess,
                         ::testing::Values(
                             // The lookup walks every item, so a failing read anywhere in the walk ends it.
                             AccessFault{{"collection", "get_Count"}, "Gain", false},
                             AccessFault{{"item:Gain", "get_Name"}, "Gain", false},
                             AccessFault{{"item:Gain", "get_Elements"}, "Gain", true},
                             AccessFault{{"item:Gain", "get_Count"}, "Gain", true},
                             AccessFault{{"element:Strobe/Mode", "get_Name"}, "Gain", false},
                             AccessFault{{"item:Trigger", "get_Name"}, "Gain", true},
                             // Each kind's own reads and writes.
                             AccessFault{{"range:Gain/Value", "get_Value"}, "Gain", false},
                             AccessFault{{"range:Gain/Value", "put_Value"}, "Gain", true},
                             AccessFault{{"absolute:Exposure/Value", "get_Value"}, "Exposure", false},
                             AccessFault{{"absolute:Exposure/Value", "put_Value"}, "Exposure", true},
                             AccessFault{{"mapStrings:Strobe/Mode", "get_Value"}, "StrobeMode", false},
                             AccessFault{{"mapStrings:Strobe/Mode", "get_RangeMin"}, "StrobeMode", false},
                             AccessFault{{"mapStrings:Strobe/Mode", "get_RangeMin"}, "StrobeMode", true},
                             AccessFault{{"mapStrings:Strobe/Mode", "put_Value"}, "StrobeMode", true},
                             AccessFault{{"switch:Trigger/Polarity", "get_Switch"}, "TriggerPolarity", false},
                             AccessFault{{"switch:Trigger/Polarity", "put_Switch"}, "TriggerPolarity", true},
                             AccessFault{{"button:Trigger/Software", "Push"}, "TriggerSoftware", true}),
                         accessName);

// ---- Calls whose result is not examined: the work goes on -----------------------------------------

class FaultMatrixUnchecked : public FaultMatrixFixture, public ::testing::WithParamInterface<VcdFault> {};

TEST_P(FaultMatrixUnchecked, DescriptionAndAccessGoOnWithoutAWarning) {
    loadWithFault(GetParam().where, GetParam().call);
    adaptor().hwinfo();
    EXPECT_NO_THROW(adaptor().describe(kMatrixDevice, kMatrixFormat));
    qvxtb::VideoInput& video = open(kMatrixDevice, kMatrixFormat);
    for (const std::string& name : video.propertyNames()) {
        try {
            video.get(name);
        } catch (const qvxtb::ToolboxError&) {
            // A property the fault keeps from being found is refused; nothing else may happen.
        }
    }
    video.setROIPosition(8, 4, 320, 240);
}

INSTANTIATE_TEST_SUITE_P(IdentifiersFetchesAndLookups, FaultMatrixUnchecked,
                         ::testing::Values(VcdFault{"collection", "get_Item"},
                                           VcdFault{"collection", "findInterface"},
                                           VcdFault{"item:Gain", "get_ItemID"},
                                           VcdFault{"item:Gain", "get_Item"},
                                           VcdFault{"element:Gain/Value", "get_ElementID"},
                                           VcdFault{"element:Strobe/Mode", "findInterface"}),
                         faultName);

} // namespace
} // namespace qvxtest
