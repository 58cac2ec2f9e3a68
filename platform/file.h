#pragma once
// A file opened through the virtual file system: an owned descriptor, closed on destruction.
// Errors raise PlatformError naming the file (and the system's reason); a short read is not an error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpk {

class File {
public:
    enum class Mode {
        Read,         // existing file, read only
        Create,       // create or truncate, write only
        CreateNew,    // create, fail when it exists
        ReadWrite,    // existing file, read and write
        Append        // create when missing, writes go to the end
    };

    File() = default;
    File(std::string_view path, Mode mode) { Open(path, mode); }
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    void Open(std::string_view path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();  // raises when the close reports a write error

    std::size_t Read(void* buffer, std::size_t size);          // fewer bytes only at the end
    void ReadExact(void* buffer, std::size_t size);            // raises at a short read
    std::size_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset);
    void Write(const void* buffer, std::size_t size);          // all of it, or raises (disk full …)
    void WriteAt(const void* buffer, std::size_t size, std::uint64_t offset);
    void Seek(std::uint64_t offset);
    std::uint64_t Tell() const;
    std::uint64_t Size() const;
    void Truncate(std::uint64_t size);
    void Sync();  // data on the medium (fsync)
    // Gives this file the permission bits of another open file, so a copied program stays runnable;
    // the owner keeps read and write access whatever the source had (a copy must stay replaceable).
    void CopyPermissionsFrom(const File& source);

    int Descriptor() const { return fd_; }
    const std::string& HostPath() const { return hostPath_; }
    const std::string& Path() const { return path_; }

private:
    [[noreturn]] void Fail(const char* what) const;
    int fd_ = -1;
    std::string path_;
    std::string hostPath_;
};

// A whole file mapped read-only into memory (large files cost address space, not RAM).
class MappedFile {
public:
    explicit MappedFile(std::string_view path);  // raises PlatformError when it cannot be opened
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    const std::uint8_t* Data() const { return data_; }
    std::uint64_t Size() const { return size_; }

private:
    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
};

// Reads a whole (small) text file; nullopt-like empty + false when it cannot be read.
bool ReadWholeFile(std::string_view path, std::string& contents);
// Writes a file through a temporary name beside it, synced, then renamed over the target.
void WriteFileAtomically(std::string_view path, std::string_view contents);

}  // namespace vpk
