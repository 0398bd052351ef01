// How warning texts reach the host: literal, and cut to the buffer without splitting a character.
#include <gtest/gtest.h>

#include <string>

#include "host/warning.h"
#include "sim/toolbox/toolbox.h"

namespace {

std::string lastWarning() {
    const auto warnings = qvxtb::warnings();
    return warnings.empty() ? std::string() : warnings.back().text;
}

class Warning : public ::testing::Test {
protected:
    void SetUp() override {
        qvxtb::clearRecords();
        qvxtb::setPrintWarnings(false);
    }
};

TEST_F(Warning, PercentSignsInTheTextStayLiteral) {
    qvx::warnf("Property \"%s\" not found.", "Gain%d%s%n");
    EXPECT_EQ(lastWarning(), "Property \"Gain%d%s%n\" not found.");
    EXPECT_EQ(qvxtb::warnings().back().identifier, "QVXadaptor:constructor");
}

TEST_F(Warning, LongTextIsCutBeforeACharacterThatDoesNotFitWhole) {
    // 1020 ASCII bytes, then three-byte characters: the buffer holds 1023 bytes of text, so the
    // first character fits and the second would be cut in its middle.
    const std::string text = std::string(1020, 'a') + "\xE2\x82\xAC" + "\xE2\x82\xAC";
    qvx::warnf("%s", text.c_str());
    EXPECT_EQ(lastWarning(), std::string(1020, 'a') + "\xE2\x82\xAC");

    const std::string shifted = std::string(1021, 'a') + "\xE2\x82\xAC";
    qvx::warnf("%s", shifted.c_str());
    EXPECT_EQ(lastWarning(), std::string(1021, 'a'));
}

TEST_F(Warning, AsciiTextIsCutAtTheBufferEnd) {
    qvx::warnf("%s", std::string(2000, 'x').c_str());
    EXPECT_EQ(lastWarning(), std::string(1023, 'x'));
}

} // namespace
