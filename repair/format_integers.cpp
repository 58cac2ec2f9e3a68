#include "repair/format_integers.h"

namespace vpk {

std::string FormatIntegers(std::string_view text, std::initializer_list<std::int64_t> values) {
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            const char kind = text[i + 1];
            if (kind == '%') {
                out += '%';
                ++i;
                continue;
            }
            if ((kind == 'd' || kind == 'u') && next != values.end()) {
                out += std::to_string(*next++);
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace vpk
