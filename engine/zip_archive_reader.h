#pragma once
// Reads the directory of an existing archive for the libraries: end record (ZIP64 aware), every
// central header with its true 64-bit values, and the position of each entry's data. Damaged input
// raises ZipFormatError with a message for the user; nothing is trusted before it is checked against
// the file's size.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/zip_format.h"
#include "platform/file.h"

namespace vpk::zip {

class ZipFormatError : public std::runtime_error {
  public:
    explicit ZipFormatError(const std::string& message) : std::runtime_error(message) {}
};

struct ArchiveEntry {
    CentralHeader header;
    std::string storedName;  // header bytes
    std::string extra;       // central extra field
    std::string comment;     // entry comment bytes
    std::string name;        // UTF-8, "/" separators as stored
    Zip64Values values;      // true sizes and offset (offset already shifted by the archive's bias)

    bool Encrypted() const { return header.flags & kFlagEncrypted; }
    bool IsFolder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
};

// Where an entry's data lies, from its local header.
struct EntryData {
    std::uint64_t headerOffset = 0;  // local header
    std::uint64_t dataOffset = 0;    // first byte after the local header, name and extra
    std::uint64_t compressedSize = 0;
    std::uint64_t descriptorSize = 0;  // data descriptor after the data (0 without flag bit 3)
    std::uint64_t End() const { return dataOffset + compressedSize + descriptorSize; }
};

class ZipArchiveReader {
  public:
    // Opens the archive (virtual path) and reads its directory.
    explicit ZipArchiveReader(std::string_view path);

    const std::vector<ArchiveEntry>& Entries() const { return entries_; }
    const std::string& Comment() const { return comment_; }
    std::uint64_t FileSize() const { return fileSize_; }
    File& Input() { return file_; }
    // Where the ZIP data begins: the first local header, or the directory when there is no entry.
    // Bytes before it (a self-extractor stub) belong to no entry.
    std::uint64_t DataStart() const;

    // Reads and checks the local header of an entry.
    EntryData Locate(const ArchiveEntry& entry);

  private:
    void ReadEndRecord();
    void ReadDirectory();

    File file_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t directoryStart_ = 0;  // in the file
    std::uint64_t directorySize_ = 0;
    std::uint64_t entryCount_ = 0;
    std::int64_t bias_ = 0;  // added to recorded offsets (data prefixed without adjusting them)
    std::string comment_;
    std::vector<ArchiveEntry> entries_;
};

}  // namespace vpk::zip
