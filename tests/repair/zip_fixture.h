#pragma once
// Archives built byte by byte for the repair tests, so each test can place exactly the damage it is
// about: local entries with or without data descriptors, sizes that lie, then a central directory
// and end record for whatever was added.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "repair/repair_sink.h"

namespace vpk::test {

struct FixtureEntry {
    std::string name;
    std::string data;
    bool deflate = false;
    bool descriptor = false;  // flag bit 3, sizes only in a data descriptor after the data
    bool zip64 = false;       // ZIP64 extra field in the local header, 8-byte descriptor sizes
    std::optional<std::uint32_t> storedCompressedSize;    // lie in the local header
    std::optional<std::uint32_t> storedUncompressedSize;  // lie in the local header
};

class ZipBuilder {
  public:
    // Appends the local header, name, extra field, data and descriptor of an entry.
    ZipBuilder& Add(const FixtureEntry& entry);
    ZipBuilder& AddRaw(const std::string& bytes);
    // The entries so far followed by their central directory and end record.
    std::string Finish() const;
    const std::string& Local() const { return bytes_; }
    // Offset of the local header of entry i, as added.
    std::uint64_t OffsetOf(std::size_t i) const { return entries_.at(i).offset; }

  private:
    struct Added {
        FixtureEntry entry;
        std::uint64_t offset;
        std::uint32_t crc;
        std::uint64_t compressed;
    };
    std::string bytes_;
    std::vector<Added> entries_;
};

std::string RawDeflate(const std::string& data);
std::uint32_t Crc32(const std::string& data);

// A sink that keeps everything in memory.
class MemorySink : public RepairSink {
  public:
    void Write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
    void Flush() override { ++flushes; }
    std::string bytes;
    int flushes = 0;
};

// An entry as Python's zipfile reads it from a finished archive.
struct ListedEntry {
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint16_t flags = 0;
    bool operator==(const ListedEntry&) const = default;
};
// Lists the archive with Python's zipfile after reading every entry back (CRC checked); nullopt when
// zipfile refuses the archive or an entry's data. Needs python3.
std::optional<std::vector<ListedEntry>> ListWithPython(const std::string& hostPath);

// The repair of input, written to memory.
std::string RepairBytes(const std::string& input);
// 7-Zip tests the archive without warnings, bsdtar lists and extracts it, Python's zipfile reads every
// entry, and all of them see exactly the expected names in order.
void ExpectReadersAccept(const std::string& hostPath, const std::vector<std::string>& expected);

}  // namespace vpk::test
