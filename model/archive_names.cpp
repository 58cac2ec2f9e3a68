#include "model/archive_names.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "model/path_routines.h"
#include "model/text_fields.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The name of the folder as the file system lists it (its real case); empty when not found.
std::string ListedFolderName(std::string_view folder) {
    const std::string full = RemoveBackslash(Fs().FullPath(folder));
    const auto slash = full.rfind('\\');
    if (slash == std::string::npos || slash + 1 >= full.size()) return {};
    FileFinder finder(full, kAttrAnyFile);
    for (FindEntry entry; finder.Next(entry);)
        if (entry.attributes & kAttrDirectory) return entry.name;
    return {};
}

std::string WithoutLastExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

bool IsFrenchUser() {
    std::string locale = EnvironmentValue("LC_ALL");
    if (locale.empty()) locale = EnvironmentValue("LC_MESSAGES");
    if (locale.empty()) locale = EnvironmentValue("LANG");
    return locale.size() >= 2 && std::tolower(static_cast<unsigned char>(locale[0])) == 'f' &&
           std::tolower(static_cast<unsigned char>(locale[1])) == 'r';
}

std::string DatePrefix(bool dayFirst, bool on) {
    if (!on) return {};
    const LocalDateTime now = Clock::Current().Now();
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d%02d", dayFirst ? now.day : now.month,
                  dayFirst ? now.month : now.day);
    return buffer;
}

std::string ArchiveFileName(std::string_view baseName, bool sfx, bool withExt) {
    std::string name(baseName);
    if (name.empty()) name = IsFrenchUser() ? "SansNom" : "NoName";
    if (name.find(':') != std::string::npos && name.size() <= 3) {
        name = "Dsk_" + std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
    } else if (Fs().FolderExists(name)) {
        if (std::string listed = ListedFolderName(name); !listed.empty()) name = listed;
    }
    const auto slash = name.rfind('\\');
    const std::string filePart = slash == std::string::npos ? name : name.substr(slash + 1);
    if (UpperCase(filePart).find(".VPK") != std::string::npos) {
        name = WithoutLastExtension(filePart);
        if (!name.empty() && name.front() == '!') name.erase(0, 1);
    }
    name = RemoveBackslash(name);
    if (const auto cut = name.rfind('\\'); cut != std::string::npos) name.erase(0, cut + 1);
    if (withExt) {
        const std::string upper = UpperCase(name);
        if (sfx && upper.find(".EXE") == std::string::npos) name += ".exe";
        if (!sfx && upper.find(".ZIP") == std::string::npos) name += ".zip";
    }
    return name;
}

}  // namespace vpk
