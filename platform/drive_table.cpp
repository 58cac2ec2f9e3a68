#include "platform/drive_table.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/host_path.h"
#include "platform/profile_document.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return host::Normalize(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/') {
        return host::Normalize(pw->pw_dir);
    }
    return "/";
}

std::optional<DriveType> ParseType(std::string_view text) {
    if (text.empty() || SameText(text, "fixed")) return DriveType::Fixed;
    if (SameText(text, "removable")) return DriveType::Removable;
    if (SameText(text, "network")) return DriveType::Remote;
    if (SameText(text, "cdrom")) return DriveType::CdRom;
    return std::nullopt;
}

std::optional<std::uint64_t> ParseCapacity(const std::string& text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return value;
}

}  // namespace

DriveTable DriveTable::Default() {
    DriveTable table;
    table.Set({'C', HomeFolder(), DriveType::Fixed, std::nullopt});
    table.Set({'Z', "/", DriveType::Fixed, std::nullopt});
    return table;
}

DriveTable DriveTable::Load(const std::string& hostFile, std::vector<std::string>* problems) {
    const auto report = [&](const std::string& problem) {
        if (problems) problems->push_back(problem);
    };
    struct stat st {};
    if (::stat(hostFile.c_str(), &st) != 0) return Default();
    std::ifstream in(hostFile, std::ios::binary);
    std::ostringstream bytes;
    if (S_ISDIR(st.st_mode) || !(in && (bytes << in.rdbuf()))) {
        if (S_ISDIR(st.st_mode) || st.st_size > 0) {
            report(hostFile + " cannot be read; using the default drives");
            return Default();
        }
    }
    const ProfileDocument doc(DecodeFileText(bytes.str()));
    DriveTable table;
    for (const auto& section : doc.Sections()) {
        const std::string where = "[" + section + "]";
        if (section.size() != 1 || !std::isalpha(static_cast<unsigned char>(section[0])) ||
            static_cast<unsigned char>(section[0]) > 0x7F) {
            report(where + " is not a drive letter A to Z; skipped");
            continue;
        }
        DriveMapping mapping;
        mapping.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(section[0])));
        std::string path, type, capacity;
        doc.FindValue(section, "path", path);
        if (path.empty() || path.front() != '/') {
            report(where + " names no absolute folder in \"path\"; skipped");
            continue;
        }
        mapping.hostRoot = host::Normalize(path);
        doc.FindValue(section, "type", type);
        const auto parsedType = ParseType(type);
        if (!parsedType) {
            report(where + " has the unknown type \"" + type + "\"; skipped");
            continue;
        }
        mapping.type = *parsedType;
        if (doc.FindValue(section, "capacity", capacity) && !capacity.empty()) {
            mapping.capacity = ParseCapacity(capacity);
            if (!mapping.capacity) {
                report(where + " has the capacity \"" + capacity + "\", not a number of bytes; skipped");
                continue;
            }
        }
        table.Set(mapping);
    }
    if (!table.Find('Z')) table.Set({'Z', "/", DriveType::Fixed, std::nullopt});
    return table;
}

void DriveTable::Set(const DriveMapping& mapping) {
    DriveMapping m = mapping;
    m.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(m.letter)));
    if (m.letter < 'A' || m.letter > 'Z') return;
    Remove(m.letter);
    const auto at = std::lower_bound(mappings_.begin(), mappings_.end(), m.letter,
                                     [](const DriveMapping& d, char l) { return d.letter < l; });
    mappings_.insert(at, std::move(m));
}

void DriveTable::Remove(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::erase_if(mappings_, [&](const DriveMapping& d) { return d.letter == letter; });
}

const DriveMapping* DriveTable::Find(char letter) const {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& d : mappings_) {
        if (d.letter == letter) return &d;
    }
    return nullptr;
}

const DriveMapping* DriveTable::FindByHostPath(const std::string& hostPath) const {
    const DriveMapping* best = nullptr;
    for (const auto& d : mappings_) {
        const std::string& root = d.hostRoot;
        const bool inside = root == "/" || hostPath == root ||
                            (hostPath.size() > root.size() && hostPath.compare(0, root.size(), root) == 0 &&
                             hostPath[root.size()] == '/');
        if (inside && (!best || root.size() > best->hostRoot.size())) best = &d;
    }
    return best;
}

}  // namespace vpk
