#pragma once
// Errors raised by the platform layer. Every service that can fail in a way the caller must see raises
// PlatformError with a message naming the file or device; routines documented as "reports nothing"
// return a neutral result instead.
#include <stdexcept>
#include <string>

namespace vpk {

class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vpk
