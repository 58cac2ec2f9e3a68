#include "runner/run_log_file.h"

#include "platform/file.h"
#include "platform/platform_error.h"
#include "platform/text_codec.h"

namespace vpk {

std::vector<std::string> ReadRunLog(const std::string& path) {
    std::vector<std::string> lines;
    std::string contents;
    if (!ReadWholeFile(path, contents)) return lines;
    contents = DecodeFileText(contents);
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos) end = contents.size();
        std::string line = contents.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool WriteRunLog(const std::string& path, const std::vector<std::string>& lines) {
    std::string contents;
    for (const auto& line : lines) {
        contents += line;
        contents += "\r\n";
    }
    try {
        WriteFileAtomically(path, contents);
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

}  // namespace vpk
