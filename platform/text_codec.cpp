#include "platform/text_codec.h"

#include <cstdint>
#include <cstring>

#include "platform/code_page_tables.h"

namespace vpk {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at text[pos]; advances pos. Returns kInvalid (and advances one byte) for a
// malformed, overlong or surrogate sequence.
char32_t DecodeAt(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return kInvalid;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return kInvalid;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return kInvalid;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kInvalid;
    }
    pos += extra + 1;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string DecodeSingleByte(std::string_view bytes, const codepage::HighHalf& table) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{table[b - 0x80]});
    }
    return out;
}

std::string EncodeSingleByte(std::string_view text, const codepage::HighHalf& table, bool* lossless) {
    if (lossless) *lossless = true;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = DecodeAt(text, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        char found = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i] == cp) {
                found = static_cast<char>(0x80 + i);
                break;
            }
        }
        if (found) {
            out += found;
        } else {
            out += '?';
            if (lossless) *lossless = false;
        }
    }
    return out;
}

const codepage::HighHalf& OemTable(int codePage) {
    return codePage == 850 ? codepage::kCp850 : codepage::kCp437;
}

// Upper case of one code point: ASCII, Latin-1 and the letters Windows-1252 adds (Š, Œ, Ž, Ÿ).
char32_t Upper(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
    switch (cp) {
        case 0xFF:
            return 0x178;
        case 0x161:
            return 0x160;
        case 0x153:
            return 0x152;
        case 0x17E:
            return 0x17D;
        default:
            return cp;
    }
}

char32_t Lower(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
    switch (cp) {
        case 0x178:
            return 0xFF;
        case 0x160:
            return 0x161;
        case 0x152:
            return 0x153;
        case 0x17D:
            return 0x17E;
        default:
            return cp;
    }
}

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = DecodeAt(text, pos);
        if (cp == kInvalid) {
            out += text[start];  // stray bytes pass through untouched
        } else {
            AppendUtf8(out, map(cp));
        }
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // Settings files are mostly ASCII: step over eight such bytes at a time.
        if (pos + 8 <= bytes.size()) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + pos, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                pos += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        if (DecodeAt(bytes, pos) == kInvalid) return false;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    return DecodeSingleByte(bytes, codepage::kCp1252);
}

std::string Utf8ToCp1252(std::string_view text, bool* lossless) {
    return EncodeSingleByte(text, codepage::kCp1252, lossless);
}

std::string OemToUtf8(std::string_view bytes, int codePage) {
    return DecodeSingleByte(bytes, OemTable(codePage));
}

std::string Utf8ToOem(std::string_view text, int codePage, bool* fits) {
    return EncodeSingleByte(text, OemTable(codePage), fits);
}

std::string DecodeFileText(std::string bytes) {
    if (!IsValidUtf8(bytes)) return Cp1252ToUtf8(bytes);
    if (std::string_view(bytes).substr(0, 3) == "\xEF\xBB\xBF") bytes.erase(0, 3);
    return bytes;
}

std::string UpperCase(std::string_view text) {
    return MapCase(text, Upper);
}
std::string LowerCase(std::string_view text) {
    return MapCase(text, Lower);
}

int CompareText(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::size_t si = i, sj = j;
        char32_t ca = DecodeAt(a, i);
        char32_t cb = DecodeAt(b, j);
        // A stray byte compares as itself, above every character.
        ca = ca == kInvalid ? 0x110000 + static_cast<unsigned char>(a[si]) : Upper(ca);
        cb = cb == kInvalid ? 0x110000 + static_cast<unsigned char>(b[sj]) : Upper(cb);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool SameText(std::string_view a, std::string_view b) {
    // Names are nearly always ASCII and compared by the hundred per profile read: settle those without
    // building upper-cased copies, and hand the rest from the first non-ASCII byte to the full rule.
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) return CompareText(a.substr(i), b.substr(i)) == 0;
        if (lower(x) != lower(y)) return false;
    }
    return a.size() == b.size();
}

}  // namespace vpk
