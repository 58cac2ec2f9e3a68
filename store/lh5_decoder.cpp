#include "store/lh5_decoder.h"

#include <algorithm>
#include <array>

#include "store/bit_reader.h"
#include "store/corrupt_file.h"
#include "store/huffman_decoder.h"
#include "store/lh5_format.h"

namespace vpk {

namespace {

[[noreturn]] void Corrupt() {
    throw ECorruptFile(kCompressedCorruptMessage);
}

class Lh5Decoder {
  public:
    explicit Lh5Decoder(std::span<const std::uint8_t> input) : reader_(input) {}

    std::vector<std::uint8_t> Run(std::size_t outputLength);

  private:
    void ReadBlockHeader();
    // The lengths of a code-length or position code; `special` is the index after which a 2-bit count
    // of zero lengths follows (-1: none).
    void ReadPtLengths(int symbols, int countBits, int special);
    void ReadCLengths();
    std::size_t ReadDistance();

    BitReader reader_;
    HuffmanDecoder ptCode_;
    HuffmanDecoder cCode_;
    std::uint32_t blockLeft_ = 0;
};

void Lh5Decoder::ReadPtLengths(int symbols, int countBits, int special) {
    const int n = static_cast<int>(reader_.Get(countBits));
    if (n == 0) {
        const auto value = static_cast<std::uint16_t>(reader_.Get(countBits));
        if (value >= symbols) Corrupt();
        ptCode_.SetSingle(value);
        return;
    }
    if (n > symbols) Corrupt();
    std::array<std::uint8_t, lh5::kNT> lengths{};
    int i = 0;
    while (i < n) {
        int length = static_cast<int>(reader_.Get(3));
        if (length == 7) {
            // Longer lengths continue in unary: one more for each 1 bit, ended by a 0 bit.
            while (reader_.GetBit() == 1) {
                if (++length > lh5::kMaxCodeLength || reader_.Overrun()) Corrupt();
            }
        }
        lengths[i++] = static_cast<std::uint8_t>(length);
        if (i == special) {
            const int zeros = static_cast<int>(reader_.Get(2));
            if (i + zeros > n) Corrupt();
            i += zeros;  // lengths are already zero
        }
    }
    if (!ptCode_.Build(std::span(lengths.data(), static_cast<std::size_t>(symbols)))) Corrupt();
}

void Lh5Decoder::ReadCLengths() {
    const int n = static_cast<int>(reader_.Get(lh5::kCBits));
    if (n == 0) {
        const auto value = static_cast<std::uint16_t>(reader_.Get(lh5::kCBits));
        if (value >= lh5::kNC) Corrupt();
        cCode_.SetSingle(value);
        return;
    }
    if (n > lh5::kNC) Corrupt();
    std::array<std::uint8_t, lh5::kNC> lengths{};
    int i = 0;
    while (i < n) {
        const int t = ptCode_.Decode(reader_);
        if (t < 0) Corrupt();
        if (t <= 2) {
            int zeros = 1;
            if (t == 1)
                zeros = static_cast<int>(reader_.Get(4)) + 3;
            else if (t == 2)
                zeros = static_cast<int>(reader_.Get(lh5::kCBits)) + 20;
            if (i + zeros > n) Corrupt();
            i += zeros;
        } else {
            lengths[i++] = static_cast<std::uint8_t>(t - 2);
        }
        if (reader_.Overrun()) Corrupt();
    }
    if (!cCode_.Build(lengths)) Corrupt();
}

void Lh5Decoder::ReadBlockHeader() {
    blockLeft_ = reader_.Get(lh5::kBlockSizeBits);
    if (blockLeft_ == 0) Corrupt();
    ReadPtLengths(lh5::kNT, lh5::kTBits, lh5::kTSpecialIndex);
    ReadCLengths();
    ReadPtLengths(lh5::kNP, lh5::kPBits, -1);
    if (reader_.Overrun()) Corrupt();
}

std::size_t Lh5Decoder::ReadDistance() {
    const int j = ptCode_.Decode(reader_);
    if (j < 0) Corrupt();
    std::size_t offset = static_cast<std::size_t>(j);
    if (j > 1) offset = (std::size_t{1} << (j - 1)) + reader_.Get(j - 1);
    return offset + 1;
}

std::vector<std::uint8_t> Lh5Decoder::Run(std::size_t outputLength) {
    std::vector<std::uint8_t> out;
    out.reserve(std::min<std::size_t>(outputLength, std::size_t{1} << 20));
    while (out.size() < outputLength) {
        if (blockLeft_ == 0) ReadBlockHeader();
        --blockLeft_;
        const int c = cCode_.Decode(reader_);
        if (c < 0) Corrupt();
        if (c < 256) {
            out.push_back(static_cast<std::uint8_t>(c));
        } else {
            const std::size_t length =
                std::min(static_cast<std::size_t>(c) - 256 + lh5::kMinMatch, outputLength - out.size());
            const std::size_t distance = ReadDistance();
            for (std::size_t k = 0; k < length; ++k)
                out.push_back(distance <= out.size() ? out[out.size() - distance] : lh5::kWindowFill);
        }
        if (reader_.Overrun()) Corrupt();
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> Lh5Decode(std::span<const std::uint8_t> input, std::size_t outputLength) {
    return Lh5Decoder(input).Run(outputLength);
}

}  // namespace vpk
