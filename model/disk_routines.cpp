#include "model/disk_routines.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "model/path_routines.h"
#include "model/text_fields.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace vpk {

namespace {

std::string JoinPath(std::string_view folder, std::string_view name) {
    return AddBackslash(folder) + std::string(name);
}

// n with 3 significant digits in fixed notation ("1.5", "12.3", "1020"): the short form the size
// column shows, with the trailing zeros of the fraction dropped.
std::string ThreeDigits(double value, char separator) {
    if (value <= 0) return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(value)));
    const int decimals = std::max(0, 2 - magnitude);
    const double scale = std::pow(10.0, 2 - magnitude);
    const double rounded = std::round(value * scale) / scale;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    for (char& c : text)
        if (c == '.') c = separator;
    return text;
}

// The first file (not folder) the pattern matches, whatever its attributes.
std::optional<FindEntry> FirstFile(std::string_view path) {
    FileFinder finder(path, kAttrAnyFile);
    for (FindEntry entry; finder.Next(entry);)
        if (!(entry.attributes & kAttrDirectory)) return entry;
    return std::nullopt;
}

}  // namespace

EFolderNotFound::EFolderNotFound(std::string_view folder)
    : std::runtime_error("Le répertoire \"" + std::string(folder) + "\" n'existe pas") {}

std::uint64_t FileSizeOf(std::string_view path) {
    const auto file = FirstFile(path);
    return file ? file->size : 0;
}

std::string FileSizeText(std::string_view path) {
    const auto file = FirstFile(path);
    if (!file) return " ? ";
    if (file->size >= 2048) return std::to_string(file->size / 1024) + " Ko";
    return std::to_string(file->size) + " Octets";
}

std::string SizeText(std::int64_t n, char decimalSeparator) {
    if (n < 0) return {};
    if (n <= 1023) return std::to_string(n) + " b";
    if (n < 1048576) return ThreeDigits(static_cast<double>(n) / 1024.0, decimalSeparator) + " Ko";
    if (n < 1073741824) return ThreeDigits(static_cast<double>(n) / 1048576.0, decimalSeparator) + " Mo";
    return {};
}

std::string SizeText(std::int64_t n) {
    return SizeText(n, LocaleDecimalSeparator());
}

char LocaleDecimalSeparator() {
    // The C library's own lookup of the user's locale, without changing the process locale.
    locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0)) return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, user);
    const char separator = radix && radix[0] && !radix[1] ? radix[0] : '.';
    freelocale(user);
    return separator;
}

std::uint64_t FolderSize(std::string_view folder, std::string_view mask) {
    if (!Fs().FolderExists(folder)) return 0;
    std::uint64_t total = 0;
    FileFinder finder(JoinPath(folder, mask), kAttrAnyFile);
    for (FindEntry entry; finder.Next(entry);) {
        if (entry.attributes & kAttrDirectory)
            total += FolderSize(JoinPath(folder, entry.name), mask);
        else
            total += entry.size;
    }
    return total;
}

bool IsFolderEmpty(std::string_view folder) {
    if (!Fs().FolderExists(folder)) throw EFolderNotFound(folder);
    FileFinder finder(JoinPath(folder, "*.*"), kAttrAnyFile);
    FindEntry entry;
    const bool empty = !finder.Next(entry);
    ProcessPendingEvents();
    return empty;
}

void DeleteFilesIn(std::string_view folder, std::string_view mask) {
    if (Fs().FolderExists(folder)) {
        Fs().SetCurrentFolder(folder);
        FileFinder finder(JoinPath(folder, mask), kAttrAnyFile);
        for (FindEntry entry; finder.Next(entry);) {
            if (entry.attributes & kAttrDirectory) continue;
            Fs().DeleteFile(JoinPath(folder, entry.name));  // a file that resists is skipped
            ProcessPendingEvents();
        }
    }
    const std::string bare = RemoveBackslash(folder);
    if (bare.size() > 3) {
        std::string parent = DirOf(bare);
        if (parent.size() == 2 && parent[1] == ':') parent += '\\';
        if (!parent.empty()) Fs().SetCurrentFolder(parent);
    }
    // A drive root is never removed: on a simulated medium that would take the disk out.
    const std::string full = Fs().FullPath(folder);
    if (RemoveBackslash(full).size() > 2) Fs().RemoveFolder(full);
}

bool CopyFilesTo(std::string_view from, std::string_view to) {
    return CopyFiles(from, to);
}

int DriveState(char letter) {
    if (!Fs().Drives().Find(letter) || !Fs().DiskPresent(letter)) return 0;
    FileFinder finder(std::string(1, letter) + ":\\*.*", kAttrAnyFile);
    if (!finder.FolderFound()) return 1;
    FindEntry entry;
    return finder.Next(entry) ? 3 : 2;
}

std::string VolumeLabel(std::string_view root) {
    if (root.empty()) return " ";
    const auto label = Fs().VolumeLabel(root.front());
    return label ? *label : std::string(" ");
}

}  // namespace vpk
