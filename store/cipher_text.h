#pragma once
// The reversible text cipher that keeps the permanent archive password out of plain sight in the
// settings file. It hides a password from a casual reader; it is not encryption.
#include <string>
#include <string_view>

namespace vpk {

inline constexpr std::string_view kDefaultCipherTextKey = "QmB7x";

// Encode (encode = true): "FA", then two upper-case hexadecimal digits per character of `text`; an
// empty text gives the empty string. Decode: the text back; a value no encoding produces (two
// characters or fewer, an odd length, a character that is not a hexadecimal digit) gives the empty
// string. Texts and key are ANSI bytes (one byte a character); an empty key means the default key.
std::string CipherText(std::string_view text, std::string_view key, bool encode);

}  // namespace vpk
