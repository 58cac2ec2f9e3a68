#include "store/archive_statistics.h"

#include <charconv>
#include <exception>

#include "platform/file_system.h"

namespace vpk {

namespace {

// The lines of a memo's text: CR LF, LF or CR end a line; a last line without an end still counts.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

// A decimal count, blanks around allowed; anything else (a negative number too) is no count.
std::int64_t ParseTotal(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (!line.empty() && line.front() == '+') line.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (line.empty() || error != std::errc() || end != line.data() + line.size() || value < 0) return 0;
    return value;
}

}  // namespace

ArchiveStatistics::ArchiveStatistics() {
    k_.SetCompressed(false);
    k_.SetEncrypted(false);
    k_.SetKey(std::string(kStatisticsKey));
}

void ArchiveStatistics::ReadTotal() {
    std::string text;
    k_.ReadStream(kTotalStreamName, text);
    lines_ = SplitLines(text);
    total_ = lines_.empty() ? 0 : ParseTotal(lines_.front());
}

ArchiveStatistics::LoadResult ArchiveStatistics::Load(std::string_view fileName) {
    loadError_.clear();
    LoadResult result = LoadResult::Loaded;
    if (!FileSystem::Instance().FileExists(fileName)) {
        k_.ClearStreams();
        result = LoadResult::Missing;
    } else {
        try {
            k_.LoadFromFile(fileName);
        } catch (const std::exception& error) {
            k_.ClearStreams();
            loadError_ = error.what();
            result = LoadResult::Unreadable;
        }
    }
    ReadTotal();
    return result;
}

void ArchiveStatistics::Save(std::string_view fileName) {
    if (lines_.empty()) lines_.emplace_back();
    lines_.front() = std::to_string(total_);
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    k_.AddStream(kTotalStreamName, text);
    k_.SetCompressed(true);
    k_.SetEncrypted(true);
    k_.SetKey(std::string(kStatisticsKey));
    k_.SaveToFile(fileName);
}

}  // namespace vpk
