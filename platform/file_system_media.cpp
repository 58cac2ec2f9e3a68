// Drives and media: types, disk present, space, volume labels, files in use, eject.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/spawn.h"

namespace vpk {

namespace {

constexpr const char* kLabelAttribute = "user.vpk.label";

bool IsFolder(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The device a mount point is mounted from ("/dev/sdb1"), empty when the folder is no mount point of a
// block device (then the medium is simulated).
std::string MountedDevice(const std::string& hostRoot) {
    char real[PATH_MAX];
    if (!::realpath(hostRoot.c_str(), real)) return {};
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        // id parent major:minor root mountpoint options [optional…] - fstype source superoptions
        std::istringstream fields(line);
        std::string id, parent, devno, root, mountPoint, field;
        fields >> id >> parent >> devno >> root >> mountPoint;
        if (mountPoint != real) continue;
        while (fields >> field && field != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        if (source.rfind("/dev/", 0) == 0) return source;
    }
    return {};
}

// /dev/disk/by-label names escape blanks and other bytes as \xNN.
std::string UnescapeLabel(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && std::isxdigit(name[i + 2]) &&
            std::isxdigit(name[i + 3])) {
            out += static_cast<char>(std::strtol(name.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

std::string FileSystemLabel(const std::string& device) {
    char real[PATH_MAX];
    if (!::realpath(device.c_str(), real)) return {};
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/disk/by-label", ec)) {
        char target[PATH_MAX];
        if (::realpath(entry.path().c_str(), target) && std::string_view(target) == real) {
            return UnescapeLabel(entry.path().filename().string());
        }
    }
    return {};
}

std::int64_t BytesUsedUnder(const std::string& hostRoot) {
    std::int64_t used = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(
             hostRoot, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code sizeEc;
        if (it->is_regular_file(sizeEc)) {
            const auto size = it->file_size(sizeEc);
            if (!sizeEc) used += static_cast<std::int64_t>(size);
        }
    }
    return used;
}

}  // namespace

DriveType FileSystem::TypeOfDrive(char letter) const {
    const DriveMapping* drive = drives_.Find(letter);
    return drive ? drive->type : DriveType::NoRootDir;
}

std::uint32_t FileSystem::LogicalDrives() const {
    std::uint32_t bits = 0;
    for (const auto& drive : drives_.Mappings()) bits |= 1u << (drive.letter - 'A');
    return bits;
}

bool FileSystem::DiskPresent(char letter) const {
    const DriveMapping* drive = drives_.Find(letter);
    return drive && IsFolder(drive->hostRoot);
}

std::int64_t FileSystem::FreeBytes(std::string_view path) const {
    const std::string full = FullPath(path);
    const auto host = ToHost(path);
    if (full.empty() || !host) return -1;
    const DriveMapping* drive = drives_.Find(full[0]);
    if (!drive || !IsFolder(drive->hostRoot)) return -1;
    // The path itself need not exist yet: ask the medium through its nearest existing folder.
    std::string probe = *host;
    while (!IsFolder(probe) && probe != "/" && probe.size() > drive->hostRoot.size())
        probe = host::Parent(probe);
    struct statvfs vfs {};
    if (::statvfs(probe.c_str(), &vfs) != 0) return -1;
    auto free = static_cast<std::int64_t>(static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize);
    if (drive->capacity) {
        const std::int64_t left =
            static_cast<std::int64_t>(*drive->capacity) - BytesUsedUnder(drive->hostRoot);
        free = std::max<std::int64_t>(0, std::min(free, left));
    }
    return free;
}

std::int64_t FileSystem::TotalBytes(std::string_view path) const {
    const std::string full = FullPath(path);
    if (full.empty()) return -1;
    const DriveMapping* drive = drives_.Find(full[0]);
    if (!drive || !IsFolder(drive->hostRoot)) return -1;
    struct statvfs vfs {};
    if (::statvfs(drive->hostRoot.c_str(), &vfs) != 0) return -1;
    const auto total =
        static_cast<std::int64_t>(static_cast<unsigned long long>(vfs.f_blocks) * vfs.f_frsize);
    return drive->capacity ? std::min(total, static_cast<std::int64_t>(*drive->capacity)) : total;
}

std::optional<std::string> FileSystem::VolumeLabel(char letter) const {
    const DriveMapping* drive = drives_.Find(letter);
    if (!drive || !IsFolder(drive->hostRoot)) return std::nullopt;
    char buffer[256];
    const ssize_t n = ::getxattr(drive->hostRoot.c_str(), kLabelAttribute, buffer, sizeof buffer);
    if (n >= 0) return std::string(buffer, static_cast<std::size_t>(n));
    if (errno != ENODATA && errno != ENOTSUP) return std::nullopt;
    const std::string device = MountedDevice(drive->hostRoot);
    return device.empty() ? std::string() : FileSystemLabel(device);
}

bool FileSystem::SetVolumeLabel(char letter, std::string_view label) {
    const DriveMapping* drive = drives_.Find(letter);
    if (!drive || !IsFolder(drive->hostRoot)) return false;
    if (label.empty()) {
        return ::removexattr(drive->hostRoot.c_str(), kLabelAttribute) == 0 || errno == ENODATA;
    }
    return ::setxattr(drive->hostRoot.c_str(), kLabelAttribute, label.data(), label.size(), 0) == 0;
}

bool FileSystem::IsFileInUse(std::string_view path) const {
    const auto host = ToHost(path);
    if (!host) return false;
    const int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    bool inUse = false;
    // A record lock (fcntl) held by another process on any part of the file.
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) inUse = true;
    // A whole-file lock (flock): taking it would block.
    if (!inUse) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::flock(fd, LOCK_UN);
        } else if (errno == EWOULDBLOCK) {
            inUse = true;
        }
    }
    ::close(fd);
    return inUse;
}

bool FileSystem::Eject(char letter) {
    const DriveMapping* drive = drives_.Find(letter);
    if (!drive || (drive->type != DriveType::Removable && drive->type != DriveType::CdRom)) return false;
    if (!IsFolder(drive->hostRoot)) return false;
    const std::string device = MountedDevice(drive->hostRoot);
    if (!device.empty()) {
        if (ProgramOnPath("eject") && RunProgram({"eject", device}) == 0) return true;
        if (ProgramOnPath("udisksctl") && RunProgram({"udisksctl", "unmount", "-b", device}) == 0) {
            RunProgram({"udisksctl", "power-off", "-b", device});
            return true;
        }
        return false;
    }
    // A simulated medium is taken out by moving its root aside; the first free "<root>.ejected[N]".
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = drive->hostRoot + ".ejected" + (n ? std::to_string(n) : "");
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0) continue;
        return ::rename(drive->hostRoot.c_str(), aside.c_str()) == 0;
    }
    return false;
}

}  // namespace vpk
