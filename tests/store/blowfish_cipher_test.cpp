#include <gtest/gtest.h>
#include <nettle/blowfish.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/blowfish_cipher.h"

namespace vpk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Published vectors give each half most significant byte first; the store keeps halves little-endian.
Bytes SwapHalves(Bytes block) {
    std::reverse(block.begin(), block.begin() + 4);
    std::reverse(block.begin() + 4, block.begin() + 8);
    return block;
}

std::string KeyFromHex(const std::string& hex) {
    const Bytes b = FromHex(hex);
    return std::string(b.begin(), b.end());
}

TEST(BlowfishCipher, MatchesPublishedVectorsWithLittleEndianHalves) {
    struct Vector {
        const char* key;
        const char* plain;
        const char* cipher;
    };
    const Vector vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},  // one-byte key: bytes taken cyclically
        {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.key);
        const BlowfishCipher cipher(KeyFromHex(v.key));
        ASSERT_TRUE(cipher.Usable());
        const Bytes out = cipher.Encipher(SwapHalves(FromHex(v.plain)));
        ASSERT_EQ(out.size(), 16u);  // the block, then a whole block of padding
        EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), SwapHalves(FromHex(v.cipher)));
    }
}

TEST(BlowfishCipher, PadsToWholeBlocksWithOnesAndACount) {
    const std::string key = "store key";
    const BlowfishCipher cipher(key);
    blowfish_ctx reference;
    ASSERT_EQ(blowfish_set_key(&reference, key.size(), reinterpret_cast<const std::uint8_t*>(key.data())), 1);
    for (std::size_t n = 0; n <= 17; ++n) {
        SCOPED_TRACE(n);
        const Bytes plain(n, 0xAB);
        const Bytes out = cipher.Encipher(plain);
        const std::size_t pad = 8 - (n + 1) % 8;
        ASSERT_EQ(out.size(), n + pad + 1);
        Bytes last = SwapHalves(Bytes(out.end() - 8, out.end()));
        blowfish_decrypt(&reference, 8, last.data(), last.data());
        last = SwapHalves(last);
        EXPECT_EQ(last.back(), pad);
        for (std::size_t i = 0; i < std::min<std::size_t>(pad, 7); ++i) EXPECT_EQ(last[6 - i], 0x01);
        Bytes back;
        ASSERT_TRUE(cipher.Decipher(out, back));
        EXPECT_EQ(back, plain);
    }
}

TEST(BlowfishCipher, RefusesWhatItDidNotWrite) {
    const BlowfishCipher cipher("right key");
    const Bytes good = cipher.Encipher(Bytes(30, 7));
    Bytes out{1, 2, 3};
    EXPECT_FALSE(BlowfishCipher("wrong key").Decipher(good, out));
    EXPECT_FALSE(cipher.Decipher({}, out));
    EXPECT_FALSE(cipher.Decipher(Bytes(good.begin(), good.end() - 1), out));  // not whole blocks
    EXPECT_EQ(out, (Bytes{1, 2, 3}));                                         // untouched by a refusal
}

TEST(BlowfishCipher, KeyRules) {
    EXPECT_FALSE(BlowfishCipher("").Usable());
    // The schedule takes 72 key bytes; a longer key works and its tail does not matter.
    std::string longKey(300, 'k');
    for (std::size_t i = 0; i < longKey.size(); ++i) longKey[i] = static_cast<char>('a' + i % 26);
    const BlowfishCipher longCipher(longKey);
    ASSERT_TRUE(longCipher.Usable());
    EXPECT_EQ(longCipher.Encipher(Bytes(8, 1)), BlowfishCipher(longKey.substr(0, 72)).Encipher(Bytes(8, 1)));
}

}  // namespace
}  // namespace vpk
