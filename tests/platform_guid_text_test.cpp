// GUID text outside Windows: braced, upper-case, every digit in its place, in CoTaskMem memory.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

std::u16string textOf(const GUID& id) {
    LPOLESTR text = nullptr;
    EXPECT_EQ(StringFromCLSID(id, &text), S_OK);
    std::u16string out;
    for (const OLECHAR* c = text; c != nullptr && *c != 0; ++c) out.push_back(static_cast<char16_t>(*c));
    CoTaskMemFree(text);
    return out;
}

TEST(PlatformGuidText, EveryFieldIsWrittenInOrderWithLeadingZeros) {
    const long before = qvxplatform::liveCoTaskMemBlocks();
    EXPECT_EQ(textOf(GUID{0x0123ABCDu, 0x00EFu, 0xF00Du, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}}),
              u"{0123ABCD-00EF-F00D-0123-456789ABCDEF}");
    EXPECT_EQ(textOf(GUID{}), u"{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(textOf(GUID{0xFFFFFFFFu, 0xFFFFu, 0xFFFFu, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}),
              u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
    EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), before);
#if !defined(_WIN32)
    // Our own check; Windows' StringFromCLSID writes through the pointer unchecked.
    EXPECT_EQ(StringFromCLSID(GUID{}, nullptr), E_INVALIDARG);
#endif
}

} // namespace
