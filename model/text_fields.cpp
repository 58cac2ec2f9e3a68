#include "model/text_fields.h"

namespace vpk {

std::string AfterFirst(std::string_view sep, std::string_view s) {
    if (sep.empty()) return {};
    const auto at = s.find(sep);
    return at == std::string_view::npos ? std::string() : std::string(s.substr(at + sep.size()));
}

std::string AfterLast(std::string_view sep, std::string_view s) {
    if (sep.empty()) return {};
    const auto at = s.rfind(sep);
    return at == std::string_view::npos ? std::string() : std::string(s.substr(at + sep.size()));
}

std::string BeforeFirst(std::string_view sep, std::string_view s) {
    if (sep.empty()) return {};
    const auto at = s.find(sep);
    return at == std::string_view::npos ? std::string() : std::string(s.substr(0, at));
}

int CountOf(std::string_view sep, std::string_view s) {
    if (sep.empty()) return 0;
    int count = 0;
    for (auto at = s.find(sep); at != std::string_view::npos; at = s.find(sep, at + sep.size())) ++count;
    return count;
}

std::string FieldOf(std::string_view sep, std::string_view s, int n) {
    if (n < 0) return {};
    if (sep.empty()) return n == 0 ? std::string(s) : std::string();
    std::size_t start = 0;
    for (int field = 0;; ++field) {
        const auto end = s.find(sep, start);
        // The appended separator closes the last field.
        const auto stop = end == std::string_view::npos ? s.size() : end;
        if (field == n) return std::string(s.substr(start, stop - start));
        if (end == std::string_view::npos) return {};
        start = end + sep.size();
    }
}

std::string DirOf(std::string_view s) {
    const auto at = s.rfind('\\');
    return at == std::string_view::npos ? std::string() : std::string(s.substr(0, at));
}

std::string NameWithoutExtension(std::string_view path) {
    const auto slash = path.rfind('\\');
    const auto name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(name.substr(0, name.find('.')));
}

bool IsAllDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace vpk
