#include "engine/zip_names.h"

#include <libdeflate.h>

#include "engine/zip_format.h"
#include "platform/text_codec.h"

namespace vpk::zip {
namespace {

constexpr int kOemCodePage = 437;

char FoldSeparatorAndCase(char c) {
    if (c == '\\') return '/';
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c;
}

// Iterative wildcard match with one backtracking point: linear in practice, never exponential.
bool WildcardMatchFolded(std::string_view spec, std::string_view name) {
    std::size_t s = 0, n = 0, starSpec = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (s < spec.size() && spec[s] == '*') {
            starSpec = s++;
            starName = n;
        } else if (s < spec.size() && (spec[s] == '?' || spec[s] == name[n])) {
            ++s;
            ++n;
        } else if (starSpec != std::string_view::npos) {
            s = starSpec + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (s < spec.size() && spec[s] == '*') ++s;
    return s == spec.size();
}

std::string Fold(std::string_view text) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::string folded = ascii ? std::string(text) : UpperCase(text);
    for (char& c : folded) c = FoldSeparatorAndCase(c);
    return folded;
}

}  // namespace

StoredName EncodeEntryName(std::string_view name) {
    std::string slashed(name);
    for (char& c : slashed) c = c == '\\' ? '/' : c;
    bool ascii = true;
    for (char c : slashed) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return {slashed, false};
    bool fits = true;
    std::string oem = Utf8ToOem(slashed, kOemCodePage, &fits);
    if (fits) return {oem, false};
    return {slashed, true};
}

std::string DecodeEntryName(std::string_view bytes, std::uint16_t flags, std::uint8_t hostSystem) {
    if (flags & kFlagUtf8) return std::string(bytes);
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(bytes);
    const bool windowsHost = hostSystem == kHostDos || hostSystem == kHostOs2Hpfs || hostSystem == kHostNtfs;
    if (!windowsHost && IsValidUtf8(bytes)) return std::string(bytes);
    return OemToUtf8(bytes, kOemCodePage);
}

bool UnicodePathFromExtra(std::string_view extra, std::string_view headerName, std::string* name) {
    const std::uint8_t* data = nullptr;
    std::uint16_t length = 0;
    if (!FindExtraField(reinterpret_cast<const std::uint8_t*>(extra.data()), extra.size(), kExtraUnicodePath,
                        &data, &length) ||
        length < 5 || data[0] != 1)
        return false;
    const std::uint32_t crc =
        static_cast<std::uint32_t>(libdeflate_crc32(0, headerName.data(), headerName.size()));
    if (Get32(data + 1) != crc) return false;
    std::string_view utf8(reinterpret_cast<const char*>(data + 5), length - 5u);
    if (!IsValidUtf8(utf8)) return false;
    *name = std::string(utf8);
    return true;
}

bool EntryNameMatches(std::string_view spec, std::string_view name) {
    return WildcardMatchFolded(Fold(spec), Fold(name));
}

std::string BackslashName(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = c == '/' ? '\\' : c;
    return out;
}

}  // namespace vpk::zip
