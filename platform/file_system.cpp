#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>

#include "platform/host_path.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The one entry of folder whose name matches name without regard to case; the first in case-blind
// order when several do (two host names differing only in case).
std::optional<std::string> FindCaseBlind(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* e = ::readdir(dir)) {
        const std::string_view entry(e->d_name);
        if (entry == "." || entry == "..") continue;
        if (SameText(entry, name) && (!best || entry < *best)) best = std::string(entry);
    }
    ::closedir(dir);
    return best;
}

std::string JoinHost(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool StatHost(const std::string& host, struct stat& st) {
    return ::stat(host.c_str(), &st) == 0;
}

}  // namespace

FileSystem::FileSystem() : drives_(DriveTable::Default()), current_("C:\\") {
    std::array<char, 4096> cwd{};
    if (::getcwd(cwd.data(), cwd.size())) {
        const std::string here = ToVirtual(cwd.data());
        if (!here.empty()) current_ = here;
    }
}

FileSystem& FileSystem::Instance() {
    static FileSystem instance;
    return instance;
}

void FileSystem::SetDriveTable(DriveTable table) {
    drives_ = std::move(table);
    if (!current_.empty() && drives_.Find(current_[0])) return;
    // The current drive left the table: fall back to the first drive's root.
    current_ =
        drives_.Mappings().empty() ? "C:\\" : std::string(1, drives_.Mappings().front().letter) + ":\\";
}

std::string FileSystem::FullPath(std::string_view path) const {
    if (path.empty()) return {};
    if (path.front() == '/') return ToVirtual(path);
    char letter;
    std::vector<std::string> parts;
    std::string_view rest;
    if (path.size() >= 2 && path[1] == ':') {
        if (!std::isalpha(static_cast<unsigned char>(path[0]))) return {};
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        rest = path.substr(2);
        // "C:name" is relative to the current folder when C: is the current drive, else to its root.
        if ((rest.empty() || !IsSeparator(rest.front())) && !current_.empty() && current_[0] == letter) {
            parts = SplitComponents(std::string_view(current_).substr(2));
        }
    } else if (IsSeparator(path.front())) {
        if (path.size() > 1 && IsSeparator(path[1])) return {};  // UNC names have no drive here
        letter = current_.empty() ? 'C' : current_[0];
        rest = path;
    } else {
        letter = current_.empty() ? 'C' : current_[0];
        parts = SplitComponents(std::string_view(current_).substr(2));
        rest = path;
    }
    if (!drives_.Find(letter)) return {};
    for (auto& part : SplitComponents(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        if (part.find(':') != std::string::npos || part.find('\0') != std::string::npos) return {};
        parts.push_back(std::move(part));
    }
    std::string full = std::string(1, letter) + ":\\";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) full += '\\';
        full += parts[i];
    }
    if (!parts.empty() && IsSeparator(path.back())) full += '\\';
    return full;
}

std::optional<std::string> FileSystem::ToHost(std::string_view path) const {
    if (path.empty()) return std::nullopt;
    if (path.front() == '/') return std::string(path);
    const std::string full = FullPath(path);
    if (full.empty()) return std::nullopt;
    const DriveMapping* drive = drives_.Find(full[0]);
    if (!drive) return std::nullopt;
    const auto parts = SplitComponents(std::string_view(full).substr(3));
    std::string host = drive->hostRoot;
    // The common case first: the path exists as spelled, so every level does too (one call, not one
    // per level).
    std::string spelled = host;
    for (const auto& part : parts) spelled = JoinHost(spelled, part);
    struct stat whole {};
    if (parts.empty() || ::lstat(spelled.c_str(), &whole) == 0) return spelled;
    bool resolving = true;  // once a level is missing, the rest keeps the spelling given
    for (const auto& part : parts) {
        std::string candidate = JoinHost(host, part);
        if (resolving) {
            struct stat st {};
            if (::lstat(candidate.c_str(), &st) != 0) {
                if (auto found = FindCaseBlind(host, part)) {
                    candidate = JoinHost(host, *found);
                } else {
                    resolving = false;
                }
            }
        }
        host = std::move(candidate);
    }
    return host;
}

std::string FileSystem::ToVirtual(std::string_view hostPath) const {
    const std::string host = host::Normalize(hostPath);
    const DriveMapping* drive = drives_.FindByHostPath(host);
    if (!drive) return {};
    std::string rest = drive->hostRoot == "/"
                           ? host.substr(1)
                           : host.substr(std::min(host.size(), drive->hostRoot.size() + 1));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return std::string(1, drive->letter) + ":\\" + rest;
}

bool FileSystem::SetCurrentFolder(std::string_view path) {
    std::string full = FullPath(path);
    if (full.empty() || !FolderExists(full)) return false;
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    current_ = std::move(full);
    return true;
}

std::optional<FileInfo> FileSystem::Stat(std::string_view path) const {
    const auto host = ToHost(path);
    struct stat st {};
    if (!host || !StatHost(*host, st)) return std::nullopt;
    FileInfo info;
    info.attributes = host::AttributesOf(*host, st);
    info.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    info.mtime = st.st_mtim.tv_sec;
    info.dosDateTime = DosDateTimeFromUnix(info.mtime);
    return info;
}

bool FileSystem::FileExists(std::string_view path) const {
    const auto info = Stat(path);
    return info && !(info->attributes & kAttrDirectory);
}

bool FileSystem::FolderExists(std::string_view path) const {
    const auto info = Stat(path);
    return info && (info->attributes & kAttrDirectory);
}

std::uint32_t FileSystem::Attributes(std::string_view path) const {
    const auto info = Stat(path);
    return info ? info->attributes : 0xFFFFFFFFu;
}

bool FileSystem::SetReadOnly(std::string_view path, bool readOnly) {
    const auto host = ToHost(path);
    struct stat st {};
    if (!host || !StatHost(*host, st)) return false;
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    return ::chmod(host->c_str(), mode) == 0;
}

bool FileSystem::ClearArchiveBit(std::string_view path) {
    const auto host = ToHost(path);
    struct stat st {};
    if (!host || !StatHost(*host, st) || S_ISDIR(st.st_mode)) return false;
    const std::string mark = host::ArchiveMark(st);
    return ::setxattr(host->c_str(), "user.vpk.archived", mark.data(), mark.size(), 0) == 0;
}

bool FileSystem::SetArchiveBit(std::string_view path) {
    const auto host = ToHost(path);
    struct stat st {};
    if (!host || !StatHost(*host, st)) return false;
    return ::removexattr(host->c_str(), "user.vpk.archived") == 0 || errno == ENODATA || errno == ENOTSUP;
}

bool FileSystem::SetFileTime(std::string_view path, std::int64_t unixTime) {
    const auto host = ToHost(path);
    if (!host) return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(unixTime), 0}};
    return ::utimensat(AT_FDCWD, host->c_str(), times, 0) == 0;
}

bool FileSystem::CreateFolder(std::string_view path) {
    const auto host = ToHost(path);
    if (!host) {
        errno = ENOENT;
        return false;
    }
    return ::mkdir(host->c_str(), 0777) == 0;
}

bool FileSystem::CreateFolderChain(std::string_view path) {
    const std::string full = FullPath(path);
    if (full.empty()) {
        errno = ENOENT;
        return false;
    }
    // Level by level, so each existing level is found whatever its case and each new one keeps the
    // case given.
    std::string level = full.substr(0, 3);
    for (const auto& part : SplitComponents(std::string_view(full).substr(3))) {
        level += (level.size() > 3 ? "\\" : "") + part;
        if (FolderExists(level)) continue;
        if (!CreateFolder(level) && !(errno == EEXIST && FolderExists(level))) return false;
    }
    return FolderExists(full);
}

bool FileSystem::RemoveFolder(std::string_view path) {
    const auto host = ToHost(path);
    if (!host) {
        errno = ENOENT;
        return false;
    }
    return ::rmdir(host->c_str()) == 0;
}

bool FileSystem::DeleteFile(std::string_view path) {
    const auto host = ToHost(path);
    struct stat st {};
    if (!host || ::lstat(host->c_str(), &st) != 0) {
        errno = ENOENT;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    // A read-only file is protected from deletion, as the callers expect of the attribute.
    if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
        errno = EACCES;
        return false;
    }
    return ::unlink(host->c_str()) == 0;
}

bool FileSystem::RenameFile(std::string_view from, std::string_view to) {
    const auto source = ToHost(from);
    const auto target = ToHost(to);
    struct stat st {};
    if (!source || !target || ::lstat(source->c_str(), &st) != 0) {
        errno = ENOENT;
        return false;
    }
    struct stat existing {};
    if (::stat(target->c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode) && !S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (S_ISREG(existing.st_mode) && !(existing.st_mode & S_IWUSR)) {
            errno = EACCES;
            return false;
        }
    }
    if (::rename(source->c_str(), target->c_str()) == 0) return true;
    if (errno != EXDEV || S_ISDIR(st.st_mode)) return false;
    // Another medium: copy, then remove the original only once the copy is complete.
    if (!CopyFile(from, to, false)) return false;
    return ::unlink(source->c_str()) == 0;
}

bool FileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
    const auto source = ToHost(from);
    const auto target = ToHost(to);
    if (!source || !target) {
        errno = ENOENT;
        return false;
    }
    const int in = ::open(source->c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        errno = EISDIR;
        return false;
    }
    struct stat existing {};
    if (::stat(target->c_str(), &existing) == 0) {
        if (failIfExists || S_ISDIR(existing.st_mode) || !(existing.st_mode & S_IWUSR) ||
            (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)) {
            ::close(in);
            errno = EEXIST;
            return false;
        }
    }
    const int out =
        ::open(target->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0),
               st.st_mode & 0777);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        errno = e;
        return false;
    }
    std::array<char, 1 << 16> buffer{};
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    const int e = errno;
    ::close(in);
    if (ok) {
        // The copy keeps the original's time and permission bits, like the system's copy.
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
        ::fchmod(out, st.st_mode & 07777);
    }
    if (::close(out) != 0) ok = false;
    if (!ok) {
        // A half-written copy must not pass for the file.
        ::unlink(target->c_str());
        errno = e ? e : EIO;
    }
    return ok;
}

std::string FileSystem::TempFileName(std::string_view folder, std::string_view prefix) {
    std::string base = FullPath(folder);
    const auto host = ToHost(base);
    if (base.empty() || !host) return {};
    if (base.back() != '\\') base += '\\';
    const auto seed = static_cast<std::uint32_t>(::getpid()) ^
                      static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (std::uint32_t i = 0; i < 0x10000; ++i) {
        char unique[8];
        std::snprintf(unique, sizeof unique, "%04X", (seed + i) & 0xFFFF);
        const std::string name = std::string(prefix) + unique + ".tmp";
        const int fd = ::open(JoinHost(*host, name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return base + name;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace vpk
