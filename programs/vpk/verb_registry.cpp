#include "programs/vpk/verb_registry.h"

#include <cctype>
#include <filesystem>

#include "platform/file_system.h"

namespace vpk::cli {

std::vector<Verb>& Verbs() {
    static std::vector<Verb> verbs;
    return verbs;
}

std::string ArgumentPath(const std::string& arg) {
    if (arg.size() >= 2 && std::isalpha(static_cast<unsigned char>(arg[0])) && arg[1] == ':') return arg;
    std::error_code ec;
    auto absolute = std::filesystem::absolute(arg, ec);
    return Fs().ToVirtual(ec ? arg : absolute.lexically_normal().string());
}

}  // namespace vpk::cli
