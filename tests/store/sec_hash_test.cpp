#include <gtest/gtest.h>

#include <string>

#include "store/sec_hash.h"

namespace vpk {
namespace {

TEST(SecHash, DigestTextOfKnownTexts) {
    const std::pair<std::string, const char*> cases[] = {
        {"abc", "A9993E36 4706816A BA3E2571 7850C26C 9CD0D89D"},
        {"", "DA39A3EE 5E6B4B0D 3255BFEF 95601890 AFD80709"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E44 1C3BD26E BAAE4AA1 F95129E5 E54670F1"},
        {std::string(1000000, 'a'), "34AA973C D4C4DAA4 F61EEB2B DBAD2731 6534016F"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        EXPECT_EQ(DigestText(TSecHash().Digest(text)), expected);
    }
}

TEST(SecHash, DigestTextKeepsLeadingZeros) {
    EXPECT_EQ(DigestText({0x1, 0xABC, 0, 0xFFFFFFFF, 0x00C0FFEE}),
              "00000001 00000ABC 00000000 FFFFFFFF 00C0FFEE");
}

}  // namespace
}  // namespace vpk
