#include "split/restore_target.h"

#include "split/backup_file.h"

namespace vpk::split {

namespace {

// Joins the usable components of a relative name with '\'. Both separators count: the virtual file
// system splits on '/' as well.
std::string SafeRelative(std::string_view relative) {
    std::string result;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = relative.size();
        std::string_view part = relative.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..") {
            if (!result.empty()) result += '\\';
            result += part;
        }
        start = end + 1;
    }
    return result;
}

}  // namespace

std::optional<std::string> RestoreTargetName(std::string_view storedName, std::string_view destFolder,
                                             bool fullPath) {
    if (destFolder.empty()) {
        if (storedName.empty()) return std::nullopt;
        return std::string(storedName);
    }
    std::string relative;
    if (fullPath) {
        relative = SafeRelative(storedName.size() > 3 ? storedName.substr(3) : std::string_view{});
    } else {
        const auto cut = storedName.find_last_of("\\/");
        relative = SafeRelative(cut == std::string_view::npos ? storedName : storedName.substr(cut + 1));
    }
    if (relative.empty()) return std::nullopt;
    return std::string(destFolder) + relative;
}

bool ShouldRestore(TRestoreMode mode, std::optional<std::uint32_t> targetDate, std::uint32_t storedDate) {
    const bool exists = targetDate.has_value();
    const bool older = exists && *targetDate < storedDate;
    switch (mode) {
        case TRestoreMode::rmAll:
            return true;
        case TRestoreMode::rmNoOverwrite:
            return !exists;
        case TRestoreMode::rmNewer:
            return !exists || older;
        case TRestoreMode::rmExisting:
            return exists;
        case TRestoreMode::rmExistingNewer:
            return older;
    }
    return false;
}

}  // namespace vpk::split
