#include "store/permanent_password.h"

#include <stdexcept>

#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "store/cipher_text.h"

namespace vpk {

namespace {
// "FA" and one character is the shortest value an encoding writes.
constexpr std::size_t kShortestStored = 4;
}  // namespace

std::string ReadPermanentPassword(std::string_view settingsFile) {
    const std::string stored =
        profile::ReadString(settingsFile, kPermanentPasswordSection, kPermanentPasswordKey);
    if (stored.size() < kShortestStored) return {};
    return Cp1252ToUtf8(CipherText(stored, {}, false));
}

void WritePermanentPassword(std::string_view settingsFile, std::string_view password) {
    bool lossless = true;
    const std::string ansi = Utf8ToCp1252(password, &lossless);
    if (!lossless) throw std::invalid_argument("The password has characters that cannot be stored");
    profile::WriteString(settingsFile, kPermanentPasswordSection, kPermanentPasswordKey,
                         CipherText(ansi, {}, true));
}

}  // namespace vpk
