#pragma once
// Failures the translation component raises to its caller.
#include <stdexcept>
#include <string>

namespace vpk {

// A text given to an integer property is not a decimal number; ends the translation pass.
class EConvertError : public std::runtime_error {
  public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// A registry key or value of the language file's "reg" section could not be written.
class ERegistryException : public std::runtime_error {
  public:
    explicit ERegistryException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vpk
