#pragma once
// Random-access reading of an archive's bytes. The directory reader works on this interface so it can
// read a file (FileArchiveSource), one piece of a multi-disk set, or bytes in memory (fuzzing, tests).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace vpk {

class ArchiveSource {
  public:
    virtual ~ArchiveSource() = default;
    virtual std::uint64_t Size() = 0;
    // Reads up to size bytes at offset; fewer only at the end. An I/O failure raises.
    virtual std::size_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset) = 0;
};

class MemoryArchiveSource : public ArchiveSource {
  public:
    explicit MemoryArchiveSource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() override { return bytes_.size(); }
    std::size_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset) override;

  private:
    std::string_view bytes_;  // not owned
};

// A file opened for reading through the virtual file system (others may read it meanwhile).
class FileArchiveSource : public ArchiveSource {
  public:
    explicit FileArchiveSource(std::string_view path) : file_(path, File::Mode::Read) {}
    std::uint64_t Size() override { return file_.Size(); }
    std::size_t ReadAt(void* buffer, std::size_t size, std::uint64_t offset) override;

  private:
    File file_;
};

// Reads a source front to back through a buffer, so thousands of small central headers cost a few
// large reads.
class SequentialReader {
  public:
    SequentialReader(ArchiveSource& source, std::uint64_t position) : source_(&source), position_(position) {}
    // Reads up to size bytes; fewer only at the end of the source.
    std::size_t Read(void* out, std::size_t size);
    // Reads size bytes into out (replacing it); false on a short read (out keeps what was there).
    bool ReadString(std::string& out, std::size_t size);
    // Moves forward; false when that passes the end of the source.
    bool Skip(std::uint64_t size);
    std::uint64_t Position() const { return position_; }
    // Continues on another source (the next piece of a multi-disk set) from position.
    void Switch(ArchiveSource& source, std::uint64_t position);

  private:
    static constexpr std::size_t kBufferSize = 64 * 1024;
    ArchiveSource* source_;
    std::uint64_t position_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
};

}  // namespace vpk
