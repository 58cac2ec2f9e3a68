#pragma once
// The libraries' side of LibraryCallback: builds the callback records, and remembers a stop request
// (a non-zero return) so that every later step can end the operation. Calling thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/library_interface.h"

namespace vpk::zip {

class CallbackChannel {
  public:
    CallbackChannel(LibraryCallback callback, void* caller) : callback_(callback), caller_(caller) {}

    bool Cancelled() const { return cancelled_; }

    // Each returns false once the engine asked to stop.
    bool FileStart(std::string_view name, std::uint64_t size);
    bool BytesDone(std::uint64_t bytes);
    bool BatchEnd();
    bool FileTotal(std::uint64_t files);
    bool SizeTotal(std::uint64_t bytes);
    bool Message(std::int32_t code, std::string_view text);

    // The name to store instead of name, when the engine changed it.
    std::optional<std::string> NewName(std::string_view name);

    struct PasswordAnswer {
        std::optional<std::string> password;  // none: give up on this file
        std::int32_t repeatCount = 0;         // how many more requests the engine allows
    };
    PasswordAnswer RequestPassword(bool forAdding, std::string_view name, std::int32_t repeatCount);

    // True to keep the damaged output.
    bool CrcError(std::string_view name, std::uint32_t found, std::uint32_t expected);
    // True to overwrite the existing file.
    bool FileExists(std::string_view name, bool existingIsOlder, bool overwriteByDefault);
    void Skipped(std::string_view name, UnzSkipType type, std::int32_t errorCode);

  private:
    // Sends one record; a null callback answers nothing and never stops.
    bool Send(CallbackRecord& record);
    CallbackRecord Record(std::int32_t action, std::int32_t code, std::uint64_t number,
                          std::string_view text) const;

    LibraryCallback callback_;
    void* caller_;
    bool cancelled_ = false;
};

}  // namespace vpk::zip
