#include "repair/repaired_archive_name.h"

namespace vpk {

std::string RepairedArchiveName(std::string_view source, std::string_view suffix) {
    const auto separator = source.find_last_of("\\/:");
    const auto dot = source.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    std::string name(hasExtension ? source.substr(0, dot) : source);
    name += suffix;
    return name;
}

}  // namespace vpk
