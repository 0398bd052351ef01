// A failing VCD read anywhere in the catalogue: a warning with the code, the description still completed.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/describe_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct FaultCase {
    const char* label;
    const char* collectionFaults; // the item collection's FAULTS object
    const char* target;           // the second item, whose read fails
    std::vector<std::string> published;
    const char* warning;
};

void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.label; }

constexpr const char* kFail = "Unable to read the camera's properties (error 0x80004005).";

// The first item is always published before the fault strikes, unless the walk cannot start.
constexpr const char* kBefore =
    R"({"name": "Before", "elements": [{"name": "Value", "id": "value", "button": {}}]})";

const FaultCase kCases[] = {
    {"ItemCount", R"({"get_Count": -2147467259})", R"({"name": "T", "elements": []})", {}, kFail},
    {"ItemName",
     "{}",
     R"({"name": "T", "faults": {"get_Name": -2147467259}, "elements": []})",
     {"Before"},
     kFail},
    {"ElementCollection",
     "{}",
     R"({"name": "T", "faults": {"get_Elements": -2147467259}, "elements": []})",
     {"Before"},
     kFail},
    {"ElementCount",
     "{}",
     R"({"name": "T", "faults": {"get_Count": -5}, "elements": []})",
     {"Before"},
     "Unable to read the camera's properties (error 0xFFFFFFFB)."},
    {"ElementName",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "faults": {"get_Name": -2147467259}}]})",
     {"Before"},
     kFail},
    {"SwitchElementName",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "faults": {"get_Name": {"result": -2147467259, "nth": 2}},
        "switch": {}}]})",
     {"Before"},
     kFail},
    {"RangeMaximum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "range": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_RangeMax": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"RangeMinimum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "range": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_RangeMin": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"RangeDefault",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "range": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_Default": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"RangeSecondMaximum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "range": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_RangeMax": {"result": -2147467259, "nth": 2}}}}]})",
     {"Before"},
     kFail},
    {"AbsoluteMinimum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "absolute": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_RangeMin": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"AbsoluteMaximum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "absolute": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_RangeMax": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"AbsoluteDefault",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "absolute": {"min": 0, "max": 9, "default": 1,
        "faults": {"get_Default": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"MapStringsMinimum",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "mapStrings": {"min": 0, "max": 1, "default": 0,
        "strings": ["a", "b"], "faults": {"get_RangeMin": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"MapStringsDefault",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "mapStrings": {"min": 0, "max": 1, "default": 0,
        "strings": ["a", "b"], "faults": {"get_Default": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"MapStringsTexts",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "mapStrings": {"min": 0, "max": 1, "default": 0,
        "strings": ["a", "b"], "faults": {"get_Strings": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"MapStringsTextCount",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "mapStrings": {"min": 0, "max": 1, "default": 0,
        "strings": ["a", "b"], "faults": {"strings.get_Count": -2147467259}}}]})",
     {"Before"},
     kFail},
    {"MapStringsSecondText",
     "{}",
     R"({"name": "T", "elements": [{"name": "E", "mapStrings": {"min": 0, "max": 1, "default": 0,
        "strings": ["a", "b"], "faults": {"strings.get_Item": {"result": -2147467259, "nth": 2}}}}]})",
     {"Before"},
     kFail},
};

class CatalogueFailure : public qvxtest::DescribeFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(CatalogueFailure, WarnsKeepsWhatWasPublishedClosesAndDeclaresTheSource) {
    const FaultCase& fault = GetParam();
    loadCamera(std::string(R"({"name": "Cam", "frameRateList": false, "descriptors": [{"colorformat": "Y800",
        "min": [64, 48], "max": [64, 48], "step": [1, 1]}], "vcdFaults": )") +
               fault.collectionFaults + R"(, "vcd": [)" + kBefore + ", " + fault.target + "]}");
    const auto description = describe("Cam", "Y800 (64x48)");

    std::vector<std::string> names;
    for (const auto& property : description.properties) names.push_back(property.name);
    EXPECT_EQ(names, fault.published);
    EXPECT_THAT(warningTexts(), ElementsAre(fault.warning));
    ASSERT_EQ(description.sources.size(), 1u);
    EXPECT_EQ(description.sources[0].name, "Cam");
    EXPECT_EQ(description.sources[0].id, 1);
    const auto log = qvxsim::callLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "stopLive()");
    EXPECT_EQ(log.back(), "closeDev()");
    expectNothingLeftAlive();
}

INSTANTIATE_TEST_SUITE_P(EveryRead, CatalogueFailure, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.label; });

class CatalogueUncheckedReads : public qvxtest::DescribeFixture {
protected:
    std::vector<std::string> publishedFor(const std::string& collectionFaults, const std::string& items) {
        loadCamera(R"({"name": "Cam", "frameRateList": false, "descriptors": [{"colorformat": "Y800",
            "min": [64, 48], "max": [64, 48], "step": [1, 1]}], "vcdFaults": )" +
                   collectionFaults + R"(, "vcd": )" + items + "}");
        std::vector<std::string> names;
        for (const auto& property : describe("Cam", "Y800 (64x48)").properties)
            names.push_back(property.name);
        EXPECT_THAT(warningTexts(), IsEmpty());
        expectNothingLeftAlive();
        return names;
    }
};

TEST_F(CatalogueUncheckedReads, FailedItemFetchLeavesThatItemOut) {
    EXPECT_THAT(publishedFor(R"({"get_Item": {"result": -2147467259, "nth": 1}})",
                             R"([{"name": "A", "elements": [{"name": "Value", "id": "value", "button": {}}]},
                                 {"name": "B", "elements": [{"name": "Value", "id": "value", "button": {}}]}])"),
                ElementsAre("B"));
}

TEST_F(CatalogueUncheckedReads, FailedElementFetchLeavesThatElementOut) {
    EXPECT_THAT(
        publishedFor("{}", R"([{"name": "A", "faults": {"get_Item": {"result": -2147467259, "nth": 2}},
        "elements": [{"name": "X", "button": {}}, {"name": "Y", "button": {}}, {"name": "Z", "button": {}}]}])"),
        ElementsAre("AX", "AZ"));
}

TEST_F(CatalogueUncheckedReads, FailedIdentifierReadsFallBackToTheGeneralRule) {
    EXPECT_THAT(
        publishedFor("{}", R"([{"name": "Hidden", "id": "passedOver", "faults": {"get_ItemID": -2147467259},
        "elements": [{"name": "Value", "id": "value", "faults": {"get_ElementID": -2147467259}, "button": {}}]}])"),
        ElementsAre("HiddenValue"));
}

TEST_F(CatalogueUncheckedReads, InterfaceNotFoundOrOnlyPossiblyFoundMakesNothing) {
    EXPECT_THAT(publishedFor("{}", R"([{"name": "A", "elements": [
        {"name": "X", "faults": {"findInterface": 1}, "button": {}},
        {"name": "Y", "faults": {"findInterface": -2147467259}, "button": {}},
        {"name": "Z", "button": {}}]}])"),
                ElementsAre("AZ"));
}

} // namespace
