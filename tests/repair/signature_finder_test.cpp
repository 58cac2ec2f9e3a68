#include "repair/signature_finder.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace vpk {
namespace {

constexpr std::uint32_t kLocal = 0x04034b50;

std::optional<std::uint64_t> FindIn(const std::string& text, std::uint64_t from, std::uint64_t room = 4) {
    return SignatureFinder(kLocal, room)
        .Find(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), from);
}

std::optional<std::uint64_t> Naive(const std::string& text, std::uint64_t from, std::uint64_t room) {
    const std::string signature("PK\x03\x04", 4);
    for (std::uint64_t i = from; i + room <= text.size(); ++i) {
        if (text.compare(i, 4, signature) == 0) return i;
    }
    return std::nullopt;
}

TEST(SignatureFinderTest, FindsTheFirstSignatureFromAPosition) {
    const std::string sig("PK\x03\x04", 4);
    struct Case {
        std::string text;
        std::uint64_t from;
        std::uint64_t room;
        std::optional<std::uint64_t> expected;
    };
    const std::vector<Case> cases = {
        {sig, 0, 4, 0},
        {"abc" + sig, 0, 4, 3},
        {"PPK" + sig, 0, 4, 3},  // overlapping partial matches
        {"PK\x03" + sig, 0, 4, 3},
        {"PK\x04\x04" + sig, 0, 4, 4},  // last byte seen, comparison fails
        {sig + "xx" + sig, 1, 4, 6},    // a start after the first hit
        {sig + "xx" + sig, 6, 4, 6},
        {sig + "xx" + sig, 7, 4, std::nullopt},
        {"xx" + sig + std::string(25, 'y'), 0, 30, std::nullopt},  // record cut by the end
        {"xx" + sig + std::string(26, 'y'), 0, 30, 2},
        {"PK\x03", 0, 4, std::nullopt},
        {"", 0, 4, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(FindIn(c.text, c.from, c.room), c.expected);
    }
}

TEST(SignatureFinderTest, AgreesWithAByteByByteSearch) {
    // Text made of signature bytes only, so partial matches and overlaps occur everywhere.
    std::mt19937 random(7);
    const char alphabet[] = {'P', 'K', '\x03', '\x04', 'x'};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int size = static_cast<int>(random() % 200);
        for (int i = 0; i < size; ++i) text += alphabet[random() % 5];
        for (std::uint64_t room : {4u, 30u}) {
            std::uint64_t from = 0;
            while (true) {
                const auto expected = Naive(text, from, room);
                ASSERT_EQ(FindIn(text, from, room), expected)
                    << testing::PrintToString(text) << " from " << from;
                if (!expected) break;
                from = *expected + 1;
            }
        }
    }
}

}  // namespace
}  // namespace vpk
