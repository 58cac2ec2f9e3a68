#pragma once
// Writes a new archive file: entries in order (new ones and raw copies of old ones), then the central
// directory with ZIP64 records where sizes, offsets or the entry count need them. Writes are buffered;
// a failed entry can be rolled back; the file is synced by Finish. Failures raise PlatformError.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/zip_format.h"
#include "platform/file.h"

namespace vpk::zip {

struct CentralRecord {
    CentralHeader header;  // 32-bit fields are filled in by Finish
    std::string storedName;
    std::string extra;  // without a ZIP64 block
    std::string comment;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
};

class ArchiveBuilder {
  public:
    explicit ArchiveBuilder(const std::string& path);

    std::uint64_t Position() const { return position_; }
    void Write(const void* data, std::size_t size);
    // Overwrites bytes already written (a local header patched after its data).
    void Patch(std::uint64_t offset, const void* data, std::size_t size);
    // Copies size bytes of another file from offset.
    void CopyFrom(File& input, std::uint64_t offset, std::uint64_t size);
    // Drops everything written from offset on (an entry that failed halfway).
    void RollBack(std::uint64_t offset);

    void AddCentral(CentralRecord record) { central_.push_back(std::move(record)); }
    std::size_t EntryCount() const { return central_.size(); }

    // Central directory, end records and comment; flushed and synced to the medium, then closed.
    void Finish(const std::string& comment);

  private:
    void Flush();

    File file_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t position_ = 0;  // logical end, buffer included
    std::uint64_t flushed_ = 0;   // bytes already in the file
    std::vector<CentralRecord> central_;
};

}  // namespace vpk::zip
