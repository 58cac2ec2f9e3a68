#include "store/lh5_encoder.h"

#include <algorithm>
#include <array>
#include <bit>

#include "store/bit_writer.h"
#include "store/huffman_code.h"
#include "store/lh5_format.h"

namespace vpk {

namespace {

constexpr int kHashBits = 15;
constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
constexpr std::int32_t kNoPosition = -1;
// How many earlier positions of the same hash are tried; more finds longer matches, slower.
constexpr int kMaxChain = 128;
// A match this long is taken without looking for a better one at the next byte.
constexpr std::size_t kGoodEnough = 64;

struct Symbol {
    std::uint16_t c;       // literal byte, or 256 + length - 3
    std::uint16_t offset;  // distance - 1, for matches
};

struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
};

// Hash chains over the input: head_ holds the latest position of each 3-byte hash, prev_ the position
// before it with the same hash, for the positions still inside the window.
class MatchFinder {
  public:
    explicit MatchFinder(std::span<const std::uint8_t> input)
        : input_(input), head_(kHashSize, kNoPosition), prev_(lh5::kWindowSize, kNoPosition) {}

    // Records position `pos` (needs 3 bytes from it).
    void Insert(std::size_t pos) {
        if (pos + lh5::kMinMatch > input_.size()) return;
        const std::size_t h = Hash(pos);
        prev_[pos % lh5::kWindowSize] = head_[h];
        head_[h] = static_cast<std::int32_t>(pos);
    }

    // Longest match for `pos` among the positions inserted before it.
    Match Longest(std::size_t pos) const {
        Match best;
        if (pos + lh5::kMinMatch > input_.size()) return best;
        const std::size_t limit = std::min(lh5::kMaxMatch, input_.size() - pos);
        std::int32_t candidate = head_[Hash(pos)];
        for (int chain = 0; chain < kMaxChain && candidate != kNoPosition; ++chain) {
            const auto from = static_cast<std::size_t>(candidate);
            if (from >= pos || pos - from > lh5::kWindowSize) break;
            if (input_[from + best.length] == input_[pos + best.length]) {
                std::size_t length = 0;
                while (length < limit && input_[from + length] == input_[pos + length]) ++length;
                if (length > best.length) {
                    best = {length, pos - from};
                    if (length == limit) break;
                }
            }
            candidate = prev_[from % lh5::kWindowSize];
        }
        if (best.length < lh5::kMinMatch) best = {};
        return best;
    }

  private:
    std::size_t Hash(std::size_t pos) const {
        const std::uint32_t v =
            (std::uint32_t{input_[pos]} << 16) | (std::uint32_t{input_[pos + 1]} << 8) | input_[pos + 2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    std::span<const std::uint8_t> input_;
    std::vector<std::int32_t> head_;
    std::vector<std::int32_t> prev_;
};

int OffsetSymbol(std::uint32_t offset) {
    return offset == 0 ? 0 : std::bit_width(offset);
}

class BlockWriter {
  public:
    explicit BlockWriter(std::vector<std::uint8_t>& out) : bits_(out) {}

    void Write(const std::vector<Symbol>& symbols);
    void Finish() {
        bits_.Put(7, 0);
        bits_.Flush();
    }

  private:
    void WritePtLengths(std::span<const std::uint8_t> lengths, int countBits, int special);
    void WriteCLengths(std::span<const std::uint8_t> cLengths, std::span<const std::uint8_t> tLengths,
                       std::span<const std::uint16_t> tCodes);
    // Sends a code table: "one value" when at most one symbol is used, else the lengths.
    template <std::size_t N>
    bool IsSingle(const std::array<std::uint32_t, N>& frequencies, std::uint16_t& value) const;

    BitWriter bits_;
};

template <std::size_t N>
bool BlockWriter::IsSingle(const std::array<std::uint32_t, N>& frequencies, std::uint16_t& value) const {
    int used = 0;
    value = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (frequencies[i] > 0) {
            ++used;
            value = static_cast<std::uint16_t>(i);
        }
    }
    return used <= 1;
}

std::size_t TrimmedCount(std::span<const std::uint8_t> lengths) {
    std::size_t n = lengths.size();
    while (n > 0 && lengths[n - 1] == 0) --n;
    return n;
}

void BlockWriter::WritePtLengths(std::span<const std::uint8_t> lengths, int countBits, int special) {
    const std::size_t n = TrimmedCount(lengths);
    bits_.Put(countBits, static_cast<std::uint32_t>(n));
    std::size_t i = 0;
    while (i < n) {
        const int k = lengths[i++];
        if (k <= 6)
            bits_.Put(3, static_cast<std::uint32_t>(k));
        else
            bits_.Put(k - 3, (1u << (k - 3)) - 2);  // 111, then k-7 ones, then a zero
        if (static_cast<int>(i) == special) {
            std::size_t zeros = 0;
            while (zeros < 3 && i + zeros < n && lengths[i + zeros] == 0) ++zeros;
            bits_.Put(2, static_cast<std::uint32_t>(zeros));
            i += zeros;
        }
    }
}

// The literal/length code lengths, with runs of zero lengths shortened: code-length symbol 0 is one
// zero, 1 is 3..18 zeros (4 more bits), 2 is 20.. zeros (9 more bits), k+2 is the length k.
void BlockWriter::WriteCLengths(std::span<const std::uint8_t> cLengths,
                                std::span<const std::uint8_t> tLengths,
                                std::span<const std::uint16_t> tCodes) {
    auto putT = [&](int t) { bits_.Put(tLengths[t], tCodes[t]); };
    const std::size_t n = TrimmedCount(cLengths);
    bits_.Put(lh5::kCBits, static_cast<std::uint32_t>(n));
    std::size_t i = 0;
    while (i < n) {
        const int k = cLengths[i++];
        if (k != 0) {
            putT(k + 2);
            continue;
        }
        std::size_t zeros = 1;
        while (i < n && cLengths[i] == 0) {
            ++i;
            ++zeros;
        }
        if (zeros <= 2) {
            for (std::size_t z = 0; z < zeros; ++z) putT(0);
        } else if (zeros <= 18) {
            putT(1);
            bits_.Put(4, static_cast<std::uint32_t>(zeros - 3));
        } else if (zeros == 19) {
            putT(0);
            putT(1);
            bits_.Put(4, 15);
        } else {
            putT(2);
            bits_.Put(lh5::kCBits, static_cast<std::uint32_t>(zeros - 20));
        }
    }
}

void BlockWriter::Write(const std::vector<Symbol>& symbols) {
    std::array<std::uint32_t, lh5::kNC> cFreq{};
    std::array<std::uint32_t, lh5::kNP> pFreq{};
    for (const Symbol& s : symbols) {
        ++cFreq[s.c];
        if (s.c >= 256) ++pFreq[OffsetSymbol(s.offset)];
    }
    bits_.Put(lh5::kBlockSizeBits, static_cast<std::uint32_t>(symbols.size()));

    std::vector<std::uint8_t> cLengths(lh5::kNC, 0);
    std::uint16_t cSingle = 0;
    if (IsSingle(cFreq, cSingle)) {
        bits_.Put(lh5::kTBits, 0);
        bits_.Put(lh5::kTBits, 0);
        bits_.Put(lh5::kCBits, 0);
        bits_.Put(lh5::kCBits, cSingle);
    } else {
        cLengths = HuffmanCodeLengths(cFreq, lh5::kMaxCodeLength);
        std::array<std::uint32_t, lh5::kNT> tFreq{};
        const std::size_t n = TrimmedCount(cLengths);
        for (std::size_t i = 0; i < n;) {
            const int k = cLengths[i++];
            if (k != 0) {
                ++tFreq[k + 2];
                continue;
            }
            std::size_t zeros = 1;
            while (i < n && cLengths[i] == 0) {
                ++i;
                ++zeros;
            }
            if (zeros <= 2) {
                tFreq[0] += static_cast<std::uint32_t>(zeros);
            } else if (zeros <= 18) {
                ++tFreq[1];
            } else if (zeros == 19) {
                ++tFreq[0];
                ++tFreq[1];
            } else {
                ++tFreq[2];
            }
        }
        std::vector<std::uint8_t> tLengths(lh5::kNT, 0);
        std::uint16_t tSingle = 0;
        if (IsSingle(tFreq, tSingle)) {
            bits_.Put(lh5::kTBits, 0);
            bits_.Put(lh5::kTBits, tSingle);
        } else {
            tLengths = HuffmanCodeLengths(tFreq, lh5::kMaxCodeLength);
            WritePtLengths(tLengths, lh5::kTBits, lh5::kTSpecialIndex);
        }
        WriteCLengths(cLengths, tLengths, CanonicalCodes(tLengths));
    }

    std::vector<std::uint8_t> pLengths(lh5::kNP, 0);
    std::uint16_t pSingle = 0;
    if (IsSingle(pFreq, pSingle)) {
        bits_.Put(lh5::kPBits, 0);
        bits_.Put(lh5::kPBits, pSingle);
    } else {
        pLengths = HuffmanCodeLengths(pFreq, lh5::kMaxCodeLength);
        WritePtLengths(pLengths, lh5::kPBits, -1);
    }

    const std::vector<std::uint16_t> cCodes = CanonicalCodes(cLengths);
    const std::vector<std::uint16_t> pCodes = CanonicalCodes(pLengths);
    for (const Symbol& s : symbols) {
        bits_.Put(cLengths[s.c], cCodes[s.c]);
        if (s.c < 256) continue;
        const int j = OffsetSymbol(s.offset);
        bits_.Put(pLengths[j], pCodes[j]);
        if (j > 1) bits_.Put(j - 1, s.offset);  // the bits below the leading one
    }
}

}  // namespace

std::vector<std::uint8_t> Lh5Encode(std::span<const std::uint8_t> input) {
    std::vector<std::uint8_t> out;
    out.reserve(input.size() / 2 + 16);
    BlockWriter writer(out);
    MatchFinder finder(input);
    std::vector<Symbol> block;
    block.reserve(lh5::kMaxBlockSymbols);
    auto emit = [&](Symbol s) {
        block.push_back(s);
        if (block.size() == lh5::kMaxBlockSymbols) {
            writer.Write(block);
            block.clear();
        }
    };

    std::size_t pos = 0;
    Match match = finder.Longest(pos);
    while (pos < input.size()) {
        finder.Insert(pos);
        Match next;
        if (match.length >= lh5::kMinMatch && match.length < kGoodEnough && pos + 1 < input.size())
            next = finder.Longest(pos + 1);
        if (match.length < lh5::kMinMatch || next.length > match.length) {
            // A literal here; a longer match starting at the next byte wins.
            emit({input[pos], 0});
            ++pos;
            match = next.length > 0 ? next : finder.Longest(pos);
            continue;
        }
        emit({static_cast<std::uint16_t>(256 + match.length - lh5::kMinMatch),
              static_cast<std::uint16_t>(match.distance - 1)});
        for (std::size_t k = 1; k < match.length; ++k) finder.Insert(pos + k);
        pos += match.length;
        match = finder.Longest(pos);
    }
    if (!block.empty()) writer.Write(block);
    writer.Finish();
    return out;
}

}  // namespace vpk
