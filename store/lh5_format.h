#pragma once
// The constants of the lh5 compressed form shared by the coder and the decoder.
#include <cstddef>
#include <cstdint>

namespace vpk::lh5 {

inline constexpr std::size_t kWindowSize = 8192;  // farthest a match may reach back
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 256;
// The window the decoder starts from: a match may reach before the first byte and finds blanks there.
inline constexpr std::uint8_t kWindowFill = 0x20;

// Literal/length alphabet: 256 literals, then the match lengths 3..256.
inline constexpr int kNC = 256 + kMaxMatch - kMinMatch + 1;  // 510
inline constexpr int kCBits = 9;
// Position alphabet: symbol j stands for offsets of j significant bits (offset = distance - 1).
inline constexpr int kNP = 14;
inline constexpr int kPBits = 4;
// Alphabet of the code-length code that transmits the literal/length lengths.
inline constexpr int kNT = 19;
inline constexpr int kTBits = 5;
// After the third code-length length, a 2-bit count of zero lengths follows.
inline constexpr int kTSpecialIndex = 3;

inline constexpr int kMaxCodeLength = 16;
inline constexpr int kBlockSizeBits = 16;
// Symbols per block: the block header's 16-bit count bounds it; fewer keeps the tables adapted.
inline constexpr std::size_t kMaxBlockSymbols = 16384;

}  // namespace vpk::lh5
