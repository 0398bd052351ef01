// Text conversion around the grabber library: UTF-16 to UTF-8, dstringw and BSTR results, dstringa arguments.
#include <cstring>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "grabber/text.h"
#include "platform/testing.h"

namespace {

using KapriLib::DStringArg;
using KapriLib::dstringw;
using KapriLib::takeBstr;
using KapriLib::takeDstringw;
using KapriLib::wideToUtf8;

// A dstringw as the library hands it out: CoTaskMem memory the receiver must free.
dstringw makeDstringw(const WideString& text) {
    auto* block = static_cast<WCHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    std::memcpy(block, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    return dstringw{block};
}

class TextConversion : public ::testing::Test {
protected:
    void SetUp() override {
        coTaskBefore_ = qvxplatform::liveCoTaskMemBlocks();
        bstrsBefore_ = qvxplatform::liveBstrs();
        invalidBefore_ = qvxplatform::invalidFrees();
    }
    void TearDown() override {
        qvxplatform::failCoTaskMemAllocAfter(-1);
        EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), coTaskBefore_);
        EXPECT_EQ(qvxplatform::liveBstrs(), bstrsBefore_);
        EXPECT_EQ(qvxplatform::invalidFrees(), invalidBefore_);
    }

private:
    long coTaskBefore_ = 0;
    long bstrsBefore_ = 0;
    long invalidBefore_ = 0;
};

TEST_F(TextConversion, EmptyAndNullTextsGiveEmptyResults) {
    EXPECT_EQ(wideToUtf8(WideString()), "");
    EXPECT_EQ(wideToUtf8(nullptr, 5), "");
    EXPECT_EQ(takeDstringw(dstringw{nullptr}), "");
    EXPECT_EQ(takeBstr(nullptr), "");
    EXPECT_EQ(takeDstringw(makeDstringw(WideString())), "");
}

TEST_F(TextConversion, CharactersOutsideAsciiBecomeTheirTwoToFourBytes) {
    EXPECT_EQ(wideToUtf8(QVX_WIDE("Y800 (640x480)")), "Y800 (640x480)");
    EXPECT_EQ(wideToUtf8(QVX_WIDE("\u00e9")), "\xC3\xA9");             // é
    EXPECT_EQ(wideToUtf8(QVX_WIDE("\u20ac")), "\xE2\x82\xAC");         // €
    EXPECT_EQ(wideToUtf8(QVX_WIDE("\U0001F4F7")), "\xF0\x9F\x93\xB7"); // camera, a surrogate pair
    EXPECT_EQ(wideToUtf8(QVX_WIDE("a\u00e9\u20ac\U0001F4F7z")), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xB7z");
}

TEST_F(TextConversion, UnpairedSurrogateBecomesTheReplacementCharacter) {
    const WideString lone{u'a', static_cast<char16_t>(0xD800), u'b'};
    EXPECT_EQ(wideToUtf8(lone), "a\xEF\xBF\xBD"
                                "b");
    const WideString trailing{static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(wideToUtf8(trailing), "\xEF\xBF\xBD");
}

TEST_F(TextConversion, ExplicitLengthKeepsAnEmbeddedNul) {
    const WideString text{u'a', u'\0', u'b'};
    EXPECT_EQ(wideToUtf8(text), std::string("a\0b", 3));
}

#if !defined(_WIN32)
TEST_F(TextConversion, LibraryResultsAreFreedWhenTheirConversionThrows) {
    // The second call is the one that fills the converted text: it throws half-way.
    for (long after : {0L, 1L}) {
        SCOPED_TRACE(after);
        qvxplatform::raiseFromWideCharToMultiByteAfter(after, [] { throw std::bad_alloc(); });
        EXPECT_THROW(takeDstringw(makeDstringw(QVX_WIDE("RGB24"))), std::bad_alloc);
        qvxplatform::raiseFromWideCharToMultiByteAfter(after, [] { throw std::bad_alloc(); });
        EXPECT_THROW(takeBstr(SysAllocString(QVX_WIDE("Gain"))), std::bad_alloc);
        qvxplatform::raiseFromWideCharToMultiByteAfter(-1, nullptr);
    }
}
#endif

TEST_F(TextConversion, LibraryResultsAreCutAtTheirFirstNulAndFreed) {
    const WideString text{u'R', u'G', u'B', u'\0', u'x'};
    EXPECT_EQ(takeDstringw(makeDstringw(text)), "RGB");
    EXPECT_EQ(takeDstringw(makeDstringw(QVX_WIDE("\u00e9t\u00e9"))), "\xC3\xA9t\xC3\xA9");

    // The BSTR's length prefix counts all five characters; the text still ends at the NUL.
    BSTR bstr = SysAllocString(text.c_str());
    EXPECT_EQ(takeBstr(bstr), "RGB");
    EXPECT_EQ(takeBstr(SysAllocString(QVX_WIDE("Gain"))), "Gain");
}

TEST_F(TextConversion, ArgumentIsANulTerminatedCopyFreedAtScopeEnd) {
    const long before = qvxplatform::liveCoTaskMemBlocks();
    {
        const std::string name = "PAL_B:RGB24 (640x480)";
        DStringArg argument(name);
        EXPECT_NE(argument.get().str, name.c_str());
        EXPECT_STREQ(argument.get().str, name.c_str());
        EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), before + 1);
        DStringArg empty(static_cast<const char*>(nullptr));
        EXPECT_STREQ(empty.get().str, "");
    }
    EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), before);
}

TEST_F(TextConversion, ArgumentWithoutMemoryThrowsInsteadOfWritingThroughNull) {
    qvxplatform::failCoTaskMemAllocAfter(0);
    EXPECT_THROW(DStringArg("Y800"), std::bad_alloc);
}

} // namespace
