#include <vector>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

// Upper-cased code points, so '?' stands for one character, not one byte.
std::vector<char32_t> Letters(std::string_view text) {
    const std::string upper = UpperCase(text);
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < upper.size();) {
        const auto lead = static_cast<unsigned char>(upper[i]);
        const int len = lead < 0x80             ? 1
                        : (lead & 0xE0) == 0xC0 ? 2
                        : (lead & 0xF0) == 0xE0 ? 3
                        : (lead & 0xF8) == 0xF0 ? 4
                                                : 1;
        char32_t cp = 0;
        for (int k = 0; k < len && i + k < upper.size(); ++k)
            cp = (cp << 8) | static_cast<unsigned char>(upper[i + k]);
        out.push_back(cp);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

bool Glob(const std::vector<char32_t>& p, const std::vector<char32_t>& n) {
    std::size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi, ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    const bool nameHasDot = name.find('.') != std::string_view::npos;
    if (pattern.size() > 1 && pattern.back() == '.' && pattern != "..") {
        // "x." asks for names without an extension.
        return !nameHasDot && Glob(Letters(pattern.substr(0, pattern.size() - 1)), Letters(name));
    }
    if (Glob(Letters(pattern), Letters(name))) return true;
    // ".*" also matches an empty extension, so "*.*" lists names without a dot too.
    if (!nameHasDot && pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
        return Glob(Letters(pattern.substr(0, pattern.size() - 2)), Letters(name));
    }
    return false;
}

}  // namespace vpk
