#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lhasa_reference.h"
#include "store/bit_writer.h"
#include "store/corrupt_file.h"
#include "store/lh5_decoder.h"
#include "store/lh5_encoder.h"
#include "store/lh5_format.h"

namespace vpk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) b = static_cast<std::uint8_t>(rng());
    return out;
}

Bytes TextOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Text, random bytes, runs, counters and far repeats, in pieces: matches of every length and distance.
Bytes MixedInput(std::size_t size) {
    std::mt19937 rng(7);
    const std::vector<std::string> words{"backup ", "archive ",      "folder\\", "C:\\DATA\\", "query ",
                                         "\r\n",    "vortipak.ini ", "7 ",       "1024 ",      "zip "};
    Bytes out;
    while (out.size() < size) {
        switch (rng() % 5) {
            case 0:
                for (int i = 0; i < 400; ++i) {
                    const std::string& w = words[rng() % words.size()];
                    out.insert(out.end(), w.begin(), w.end());
                }
                break;
            case 1: {
                const Bytes r = RandomBytes(1 + rng() % 3000, rng());
                out.insert(out.end(), r.begin(), r.end());
                break;
            }
            case 2:
                out.insert(out.end(), 1 + rng() % 2000, static_cast<std::uint8_t>(rng()));
                break;
            case 3:
                for (std::uint32_t i = 0, n = rng() % 1000; i < n; ++i)
                    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(i >> (8 * k)));
                break;
            default:
                if (out.size() > lh5::kWindowSize) {
                    // A piece from just inside the farthest reach of the window.
                    const std::size_t from = out.size() - lh5::kWindowSize;
                    const std::size_t length = 1 + rng() % 600;
                    for (std::size_t i = 0; i < length; ++i) out.push_back(out[from + i]);
                }
        }
    }
    out.resize(size);
    return out;
}

struct RoundTripCase {
    const char* name;
    Bytes input;
};

std::vector<RoundTripCase> RoundTripCases() {
    Bytes farRepeat = RandomBytes(lh5::kWindowSize, 3);
    farRepeat.insert(farRepeat.end(), farRepeat.begin(), farRepeat.end());  // distance exactly 8192
    Bytes lengths;  // repeats of every length 3..300 after a unique marker
    for (int n = 3; n <= 300; ++n) {
        lengths.push_back(static_cast<std::uint8_t>(n));
        lengths.insert(lengths.end(), static_cast<std::size_t>(n), static_cast<std::uint8_t>('a' + n % 26));
    }
    return {
        {"empty", {}},
        {"one_byte", {0x41}},
        {"blanks", Bytes(100, ' ')},
        {"repetitive", Bytes(200000, 'x')},
        {"short_text", TextOf("abcabcabcabcabd 1 2 3 1 2 3")},
        {"random", RandomBytes(70000, 1)},
        {"far_repeat", farRepeat},
        {"every_length", lengths},
        {"mixed_1mb", MixedInput(1 << 20)},
    };
}

TEST(Lh5, RoundTripsThroughOurDecoderAndLiblhasa) {
    for (const RoundTripCase& c : RoundTripCases()) {
        SCOPED_TRACE(c.name);
        const Bytes packed = Lh5Encode(c.input);
        EXPECT_EQ(Lh5Decode(packed, c.input.size()), c.input);
        const auto reference = test::LhasaDecode(packed, c.input.size());
        ASSERT_TRUE(reference.has_value());
        EXPECT_EQ(*reference, c.input);
    }
}

TEST(Lh5, CompressesWhatRepeats) {
    EXPECT_LT(Lh5Encode(Bytes(200000, 'x')).size(), 200u);
    const Bytes mixed = MixedInput(1 << 20);
    EXPECT_LT(Lh5Encode(mixed).size(), mixed.size() * 7 / 10);
    // Random data cannot shrink, but must not grow by more than the block overhead.
    const Bytes random = RandomBytes(70000, 1);
    EXPECT_LT(Lh5Encode(random).size(), random.size() + random.size() / 50);
}

TEST(Lh5, EmptyInputIsTheEndMarkAlone) {
    EXPECT_EQ(Lh5Encode({}), Bytes{0x00});
}

// A cut stream either still holds every bit the output needs (the cut fell in the final padding) or
// is refused; it never yields other bytes.
TEST(Lh5, TruncatedStreamIsRefusedOrComplete) {
    const Bytes input = MixedInput(40000);
    const Bytes packed = Lh5Encode(input);
    for (std::size_t cut = 0; cut < packed.size(); cut += 1 + cut / 7) {
        const Bytes part(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
        try {
            EXPECT_EQ(Lh5Decode(part, input.size()), input) << "cut at " << cut;
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), kCompressedCorruptMessage);
        }
    }
}

// Hand-made blocks: the bits a coder could send, including ones ours never does.
Bytes Stream(const std::function<void(BitWriter&)>& body) {
    Bytes out;
    BitWriter bits(out);
    body(bits);
    bits.Put(7, 0);
    bits.Flush();
    return out;
}

TEST(Lh5, MatchBeforeTheStartReadsTheBlankWindow) {
    // One block of one symbol: a match of length 3 at distance 1, every table "one value".
    const Bytes packed = Stream([](BitWriter& b) {
        b.Put(16, 1);
        b.Put(lh5::kTBits, 0), b.Put(lh5::kTBits, 0);
        b.Put(lh5::kCBits, 0), b.Put(lh5::kCBits, 256);
        b.Put(lh5::kPBits, 0), b.Put(lh5::kPBits, 0);
    });
    EXPECT_EQ(Lh5Decode(packed, 3), TextOf("   "));
    EXPECT_EQ(test::LhasaDecode(packed, 3), std::optional(TextOf("   ")));
}

TEST(Lh5, InconsistentTablesAreRefused) {
    const std::vector<std::pair<const char*, std::function<void(BitWriter&)>>> cases{
        {"empty block", [](BitWriter& b) { b.Put(16, 0); }},
        {"code-length code over-full",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, 3);
             for (int i = 0; i < 3; ++i) b.Put(3, 1);  // three codes of length 1
             b.Put(2, 0);
         }},
        {"code-length table longer than its alphabet",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, lh5::kNT + 1);
         }},
        {"code length beyond 16",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, 1);
             b.Put(3, 7);
             b.Put(12, 0xFFF);  // 7 + 12 ones
         }},
        {"single value outside the alphabet",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, 0), b.Put(lh5::kTBits, 0);
             b.Put(lh5::kCBits, 0), b.Put(lh5::kCBits, 511);
         }},
        {"zero run past the last length",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, 0), b.Put(lh5::kTBits, 2);  // every code-length symbol is "20+ zeros"
             b.Put(lh5::kCBits, 10);
             b.Put(lh5::kCBits, 100);
         }},
        {"all lengths zero",
         [](BitWriter& b) {
             b.Put(16, 1);
             b.Put(lh5::kTBits, 0), b.Put(lh5::kTBits, 0);  // every code-length symbol is "one zero"
             b.Put(lh5::kCBits, 5);
         }},
    };
    for (const auto& [name, body] : cases) {
        SCOPED_TRACE(name);
        try {
            Lh5Decode(Stream(body), 10);
            ADD_FAILURE() << "accepted";
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), kCompressedCorruptMessage);
        }
    }
}

// Arbitrary bytes: refused or decoded to the length asked, never outside the buffers (the sanitizer
// build checks that part).
TEST(Lh5, ArbitraryInputNeverMisbehaves) {
    std::mt19937 rng(11);
    const Bytes valid = Lh5Encode(MixedInput(5000));
    for (int round = 0; round < 1000; ++round) {
        Bytes input = round % 2 ? RandomBytes(1 + rng() % 80, rng()) : valid;
        if (round % 2 == 0)
            for (int k = 0; k < 3; ++k)
                input[rng() % input.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        const std::size_t length = rng() % 6000;
        try {
            EXPECT_EQ(Lh5Decode(input, length).size(), length);
        } catch (const ECorruptFile&) {
        }
    }
}

}  // namespace
}  // namespace vpk
