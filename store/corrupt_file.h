#pragma once
// Raised when a store file, or the compressed data inside it, cannot be what the store writes.
#include <stdexcept>
#include <string>

namespace vpk {

inline constexpr const char* kFileCorruptMessage = "File corrupt.";
inline constexpr const char* kCompressedCorruptMessage = "Compressed file is corrupt";

class ECorruptFile : public std::runtime_error {
  public:
    explicit ECorruptFile(const std::string& message = kFileCorruptMessage) : std::runtime_error(message) {}
};

}  // namespace vpk
