#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace vpk {
namespace {

TEST(TextCodec, Cp1252RoundTripKeepsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(utf8, &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(TextCodec, KnownCharactersInEachCodePage) {
    struct Case {
        int codePage;  // 1252, 437 or 850
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {1252, "\x80", "\u20AC"}, {1252, "\xE9t\xE9", "\u00E9t\u00E9"},
        {1252, "\x9C", "\u0153"}, {437, "\x82", "\u00E9"},
        {437, "\xE1", "\u00DF"},  {437, "\x9B", "\u00A2"},
        {850, "\x9B", "\u00F8"},  {850, "\x90", "\u00C9"},
        {850, "\xB5", "\u00C1"},  {437, "R\x82sum\x82.txt", "R\u00E9sum\u00E9.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        if (c.codePage == 1252) {
            EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
            EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes);
        } else {
            EXPECT_EQ(OemToUtf8(c.bytes, c.codePage), c.utf8);
            bool fits = false;
            EXPECT_EQ(Utf8ToOem(c.utf8, c.codePage, &fits), c.bytes);
            EXPECT_TRUE(fits);
        }
    }
}

TEST(TextCodec, OemTablesAreInverseOfEachOther) {
    for (int cp : {437, 850}) {
        std::string all;
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
        bool fits = false;
        EXPECT_EQ(Utf8ToOem(OemToUtf8(all, cp), cp, &fits), all) << cp;
        EXPECT_TRUE(fits);
    }
}

TEST(TextCodec, CharactersWithoutAFormBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\u4E2Db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    bool fits = true;
    EXPECT_EQ(Utf8ToOem("\u20AC", 437, &fits), "?");  // the euro sign is in neither OEM page
    EXPECT_FALSE(fits);
}

TEST(TextCodec, Utf8Validation) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"plain", true},
        {"\xC3\xA9", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xE9", false},
        {"\xC3", false},
        {"\xC0\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"a\xE2\x82", false},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

TEST(TextCodec, DecodeFileTextFallsBackTo1252AndDropsBom) {
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFk=\xC3\xA9"), "k=\u00E9");
    EXPECT_EQ(DecodeFileText("k=\xE9"), "k=\u00E9");
}

TEST(TextCodec, CaseRulesCoverAccentedLatin) {
    EXPECT_EQ(UpperCase("\u00E9cole d\u00E9j\u00E0 \u0153uvre \u00FF abc"),
              "\u00C9COLE D\u00C9J\u00C0 \u0152UVRE \u0178 ABC");
    EXPECT_EQ(LowerCase("\u00C9T\u00C9 \u00D7"), "\u00E9t\u00E9 \u00D7");  // × has no case
    EXPECT_EQ(UpperCase("\u00DF\u00F7"), "\u00DF\u00F7");
    EXPECT_TRUE(SameText("C:\\Donn\u00E9es", "c:\\DONN\u00C9ES"));
    EXPECT_FALSE(SameText("abc", "abd"));
    EXPECT_FALSE(SameText("ab", "abc"));
    EXPECT_LT(CompareText("apple", "BANANA"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_EQ(UpperCase("a\xFFz"), "A\xFFZ");  // a stray byte passes through
}

}  // namespace
}  // namespace vpk
