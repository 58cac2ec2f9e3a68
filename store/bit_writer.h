#pragma once
// Packs bit fields most significant bit first into a growing byte buffer.
#include <cstdint>
#include <vector>

namespace vpk {

class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Appends the low `count` bits of `value` (count 0..24).
    void Put(int count, std::uint32_t value);
    // Pads the partial byte with zero bits and writes it out.
    void Flush();

  private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;  // pending bits in the low end of buffer_
};

}  // namespace vpk
