#include "engine/unziplib/target_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/text_codec.h"

namespace vpk::zip {
namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

TargetFolders::Folder* TargetFolders::Find(const std::string& virtualFolder) {
    const std::string key = UpperCase(virtualFolder);
    if (auto it = folders_.find(key); it != folders_.end()) return &it->second;
    const auto host = Fs().ToHost(virtualFolder);
    if (!host) return nullptr;
    Folder folder;
    folder.host = *host;
    if (DIR* dir = ::opendir(host->c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string upper = UpperCase(name);
            auto [slot, inserted] = folder.names.emplace(upper, name);
            // Two names differing only in case: the first in sort order wins, as in path resolution.
            if (!inserted && name < slot->second) slot->second = name;
        }
        ::closedir(dir);
    }
    auto& stored = folders_[key] = std::move(folder);
    byHost_[stored.host] = &stored;
    return &stored;
}

std::optional<std::string> TargetFolders::HostPath(const std::string& virtualPath) {
    const auto cut = virtualPath.rfind('\\');
    if (cut == std::string::npos) return std::nullopt;
    Folder* folder = Find(cut == 2 ? virtualPath.substr(0, 3) : virtualPath.substr(0, cut));
    if (!folder) return std::nullopt;
    const std::string name = virtualPath.substr(cut + 1);
    const auto it = folder->names.find(UpperCase(name));
    const std::string& spelled = it == folder->names.end() ? name : it->second;
    return folder->host == "/" ? "/" + spelled : folder->host + "/" + spelled;
}

void TargetFolders::Created(const std::string& hostPath) {
    const auto cut = hostPath.rfind('/');
    const std::string folderHost = cut == 0 ? "/" : hostPath.substr(0, cut);
    const auto it = byHost_.find(folderHost);
    if (it == byHost_.end()) return;
    const std::string name = hostPath.substr(cut + 1);
    it->second->names.emplace(UpperCase(name), name);
}

PendingFile::PendingFile(const std::string& hostTarget, bool replacing) : target_(hostTarget) {
    if (!replacing) {
        fd_ = ::open(hostTarget.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = hostTarget;
            return;
        }
        if (errno != EEXIST) throw PlatformError(SystemError("cannot create", hostTarget));
    }
    static std::atomic<unsigned> counter{0};
    const auto cut = hostTarget.rfind('/');
    const std::string folder = hostTarget.substr(0, cut == std::string::npos ? 0 : cut + 1);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = folder + ".vpk-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const std::string message = SystemError("cannot create a file beside", hostTarget);
        temp_.clear();
        throw PlatformError(message);
    }
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void PendingFile::Write(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw PlatformError(SystemError("cannot write", target_));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void PendingFile::Commit(std::uint32_t dosDateTime, bool readOnly) {
    const timespec times[2] = {{static_cast<time_t>(UnixFromDosDateTime(dosDateTime)), 0},
                               {static_cast<time_t>(UnixFromDosDateTime(dosDateTime)), 0}};
    ::futimens(fd_, times);
    if (readOnly) ::fchmod(fd_, 0444);
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0) throw PlatformError(SystemError("cannot write", target_));
    if (temp_ != target_ && ::rename(temp_.c_str(), target_.c_str()) != 0)
        throw PlatformError(SystemError("cannot replace", target_));
    temp_.clear();
}

std::optional<std::uint32_t> HostFileDosTime(const std::string& hostPath) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
    return DosDateTimeFromUnix(st.st_mtime);
}

}  // namespace vpk::zip
