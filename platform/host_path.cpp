#include "platform/host_path.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <vector>

#include "platform/file_system.h"

namespace vpk::host {

std::string Normalize(std::string_view path) {
    std::string full;
    if (path.empty() || path.front() != '/') {
        std::array<char, 4096> cwd{};
        if (::getcwd(cwd.data(), cwd.size())) full = cwd.data();
        full += '/';
    }
    full += path;
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const auto& p : parts) {
        out += '/';
        out += p;
    }
    return out.empty() ? "/" : out;
}

std::string BaseName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Parent(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string ArchiveMark(const struct stat& st) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%lld.%09ld %lld", static_cast<long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_size));
    return buffer;
}

std::uint32_t AttributesOf(const std::string& hostPath, const struct stat& st) {
    std::uint32_t attributes = 0;
    const std::string name = BaseName(hostPath);
    if (!name.empty() && name.front() == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
    if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
        return attributes;
    }
    // Set unless the mark stored when it was last cleared still describes the file; a file system
    // without extended attributes leaves it always set.
    char mark[96];
    const ssize_t n = ::getxattr(hostPath.c_str(), "user.vpk.archived", mark, sizeof mark - 1);
    if (n < 0 || std::string_view(mark, static_cast<std::size_t>(n)) != ArchiveMark(st))
        attributes |= kAttrArchive;
    return attributes;
}

}  // namespace vpk::host
