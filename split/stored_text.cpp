#include "split/stored_text.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace vpk::split {

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string EncodeStoredText(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    bool lossless = true;
    std::string ansi = Utf8ToCp1252(utf8, &lossless);
    if (lossless && !IsValidUtf8(ansi)) return ansi;
    return std::string(utf8);
}

std::string DecodeStoredText(std::string_view stored) {
    if (IsAscii(stored) || IsValidUtf8(stored)) return std::string(stored);
    return Cp1252ToUtf8(stored);
}

}  // namespace vpk::split
