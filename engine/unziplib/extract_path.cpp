#include "engine/unziplib/extract_path.h"

#include <vector>

namespace vpk::zip {

std::optional<std::string> SafeRelativePath(std::string_view entryName, bool dirNames) {
    std::string name(entryName);
    for (char& c : name) c = c == '/' ? '\\' : c;
    if (name.empty() || name.front() == '\\') return std::nullopt;  // absolute or UNC
    if (name.size() >= 2 && name[1] == ':') return std::nullopt;    // drive letter
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto end = name.find('\\', start);
        std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return std::nullopt;
        if (part.find(':') != std::string::npos || part.find('\0') != std::string::npos) return std::nullopt;
        if (!part.empty() && part != ".") parts.push_back(std::move(part));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (parts.empty()) return std::nullopt;
    if (!dirNames) return parts.back();
    std::string out;
    for (const auto& part : parts) out += (out.empty() ? "" : "\\") + part;
    return out;
}

}  // namespace vpk::zip
