#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/cipher_text.h"

namespace vpk {
namespace {

TEST(CipherText, OneCharacter) {
    const std::string coded = CipherText("a", "", true);
    ASSERT_EQ(coded.size(), 4u);
    EXPECT_EQ(coded.substr(0, 2), "FA");
    // ((250 + 'a') mod 255) xor 'Q' of the default key = 92 xor 81 = 0x0D.
    EXPECT_EQ(coded, "FA0D");
    EXPECT_EQ(CipherText(coded, "", false), "a");
}

TEST(CipherText, EmptyKeyIsTheDefaultKey) {
    EXPECT_EQ(CipherText("secret", "", true), CipherText("secret", "QmB7x", true));
    EXPECT_NE(CipherText("secret", "other", true), CipherText("secret", "", true));
}

TEST(CipherText, RandomTextsComeBack) {
    std::mt19937 rng(5);
    for (int round = 0; round < 500; ++round) {
        std::string text(1 + rng() % 80, ' ');
        for (char& c : text) c = static_cast<char>(1 + rng() % 255);  // every byte but NUL
        std::string key(rng() % 12, ' ');
        for (char& c : key) c = static_cast<char>(rng());
        const std::string coded = CipherText(text, key, true);
        ASSERT_EQ(coded.size(), 2 + 2 * text.size());
        EXPECT_EQ(coded.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        ASSERT_EQ(CipherText(coded, key, false), text) << coded;
    }
}

TEST(CipherText, ValuesNoEncodingProducesDecodeToNothing) {
    for (const char* stored :
         {"", "F", "FA", "FA0", "FA0D1", "FAZZ", "FA0G", "GA0D", "FA 0D", "FA\xC3\xA9"}) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(CipherText(stored, "", false), "");
    }
    EXPECT_EQ(CipherText("", "", true), "");
    // Lower-case digits are still digits.
    EXPECT_EQ(CipherText("fa0d", "", false), "a");
}

}  // namespace
}  // namespace vpk
