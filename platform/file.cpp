#include "platform/file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

std::string Describe(const char* what, std::string_view path, int error) {
    return std::string(what) + " \"" + std::string(path) + "\": " + std::strerror(error);
}

std::string HostOrRaise(std::string_view path, const char* what) {
    auto host = Fs().ToHost(path);
    if (!host) {
        throw PlatformError(std::string(what) + " \"" + std::string(path) + "\": the drive is not mapped");
    }
    return *host;
}

}  // namespace

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      hostPath_(std::move(other.hostPath_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        hostPath_ = std::move(other.hostPath_);
    }
    return *this;
}

void File::Open(std::string_view path, Mode mode) {
    if (fd_ >= 0) Close();
    path_ = std::string(path);
    hostPath_ = HostOrRaise(path, "cannot open");
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::Create:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case Mode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::Append:
            flags |= O_WRONLY | O_CREAT | O_APPEND;
            break;
    }
    if (mode != Mode::Read) {
        // The read-only attribute protects a file even from a process that could override it.
        struct stat st {};
        if (::stat(hostPath_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
            throw PlatformError(Describe("cannot open", path_, EACCES));
        }
    }
    fd_ = ::open(hostPath_.c_str(), flags, 0666);
    if (fd_ < 0) Fail("cannot open");
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw PlatformError(Describe("cannot open", path_, EISDIR));
    }
}

void File::Fail(const char* what) const {
    throw PlatformError(Describe(what, path_, errno));
}

void File::Close() {
    if (fd_ < 0) return;
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) Fail("cannot close");
}

namespace {

// Repeats a partial read or write until size bytes have moved: interrupted calls are retried, a read
// stops at the end of the file, a write that moves nothing is a full medium. False with errno set.
template <class Step>
bool TransferAll(std::size_t size, bool writing, Step step, std::size_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t n = step(done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            if (!writing) break;
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::size_t File::Read(void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    if (!TransferAll(
            size, false, [&](std::size_t d) { return ::read(fd_, out + d, size - d); }, done)) {
        Fail("cannot read");
    }
    return done;
}

void File::ReadExact(void* buffer, std::size_t size) {
    if (Read(buffer, size) != size) {
        throw PlatformError("cannot read \"" + path_ + "\": unexpected end of file");
    }
}

std::size_t File::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    const auto step = [&](std::size_t d) {
        return ::pread(fd_, out + d, size - d, static_cast<off_t>(offset + d));
    };
    if (!TransferAll(size, false, step, done)) Fail("cannot read");
    return done;
}

void File::Write(const void* buffer, std::size_t size) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    if (!TransferAll(
            size, true, [&](std::size_t d) { return ::write(fd_, in + d, size - d); }, done)) {
        Fail("cannot write");
    }
}

void File::WriteAt(const void* buffer, std::size_t size, std::uint64_t offset) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    const auto step = [&](std::size_t d) {
        return ::pwrite(fd_, in + d, size - d, static_cast<off_t>(offset + d));
    };
    if (!TransferAll(size, true, step, done)) Fail("cannot write");
}

void File::Seek(std::uint64_t offset) {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) Fail("cannot seek in");
}

std::uint64_t File::Tell() const {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) Fail("cannot seek in");
    return static_cast<std::uint64_t>(at);
}

std::uint64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail("cannot read the size of");
    return static_cast<std::uint64_t>(st.st_size);
}

void File::Truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) Fail("cannot truncate");
}

void File::Sync() {
    if (::fsync(fd_) != 0) Fail("cannot sync");
}

void File::CopyPermissionsFrom(const File& source) {
    struct stat st {};
    if (::fstat(source.fd_, &st) != 0) source.Fail("cannot read the permissions of");
    if (::fchmod(fd_, (st.st_mode & 0777) | S_IRUSR | S_IWUSR) != 0) Fail("cannot set the permissions of");
}

MappedFile::MappedFile(std::string_view path) {
    const std::string host = HostOrRaise(path, "cannot map");
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw PlatformError(Describe("cannot map", path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = errno ? errno : EINVAL;
        ::close(fd);
        throw PlatformError(Describe("cannot map", path, S_ISDIR(st.st_mode) ? EISDIR : e));
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    if (size_ > 0) {
        void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (at == MAP_FAILED) {
            const int e = errno;
            ::close(fd);
            throw PlatformError(Describe("cannot map", path, e));
        }
        data_ = static_cast<const std::uint8_t*>(at);
    }
    ::close(fd);
}

MappedFile::~MappedFile() {
    if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

bool ReadWholeFile(std::string_view path, std::string& contents) {
    contents.clear();
    const auto host = Fs().ToHost(path);
    if (!host) return false;
    const int fd = ::open(host->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            contents.clear();
            errno = e;
            return false;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

namespace {

void WriteAll(int fd, std::string_view contents, std::string_view path) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw PlatformError(Describe("cannot write", path, n < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(n);
    }
}

// In place, for a writable file in a folder that takes no new names. Only used when the safe way is
// impossible.
void RewriteInPlace(const std::string& host, std::string_view contents, std::string_view path) {
    const int fd = ::open(host.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw PlatformError(Describe("cannot write", path, errno));
    try {
        WriteAll(fd, contents, path);
        if (::ftruncate(fd, static_cast<off_t>(contents.size())) != 0 || ::fsync(fd) != 0) {
            throw PlatformError(Describe("cannot write", path, errno));
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw PlatformError(Describe("cannot write", path, errno));
}

}  // namespace

void WriteFileAtomically(std::string_view path, std::string_view contents) {
    const std::string host = HostOrRaise(path, "cannot write");
    struct stat old {};
    const bool exists = ::stat(host.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) throw PlatformError(Describe("cannot write", path, EISDIR));
    if (exists && !(old.st_mode & S_IWUSR)) throw PlatformError(Describe("cannot write", path, EACCES));
    const std::string folder = host::Parent(host);
    std::string temp = folder + "/." + host::BaseName(host) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        const int e = errno;
        if (exists && (e == EACCES || e == EPERM) && ::access(host.c_str(), W_OK) == 0) {
            RewriteInPlace(host, contents, path);
            return;
        }
        throw PlatformError(Describe("cannot write", path, e));
    }
    try {
        WriteAll(fd, contents, path);
        // The new file keeps the old one's permissions and owner.
        if (exists) {
            ::fchmod(fd, old.st_mode & 07777);
            if (::geteuid() == 0) (void)::fchown(fd, old.st_uid, old.st_gid);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
        }
        if (::fsync(fd) != 0) throw PlatformError(Describe("cannot write", path, errno));
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), host.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        throw PlatformError(Describe("cannot write", path, e));
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace vpk
