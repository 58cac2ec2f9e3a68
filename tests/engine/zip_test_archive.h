#pragma once
// Small ZIP archives built byte by byte for the directory reader's tests: stored entries with the
// header fields a test wants to vary (host system, flags, raw name bytes, ZIP64 forms).
#include <cstdint>
#include <string>
#include <vector>

namespace vpk::test {

struct TestEntry {
    std::string name;  // raw bytes as stored
    std::string data;
    std::uint8_t host = 0;      // high byte of version made by
    std::uint8_t version = 20;  // low byte
    std::uint16_t flags = 0;
    std::string comment;
    bool zip64 = false;             // sizes and offset as 0xFFFFFFFF with a ZIP64 extra field
    std::uint64_t claimedSize = 0;  // with zip64: the size the central header claims (0: the real one)
};

struct TestArchiveOptions {
    std::string prefix;          // bytes before the archive (a stub)
    bool adjustOffsets = false;  // offsets count the prefix (as a converted self-extractor has them)
    std::string comment;
    bool zip64EndRecord = false;  // ZIP64 end record + locator, 32-bit fields all ones
};

std::string BuildTestArchive(const std::vector<TestEntry>& entries, const TestArchiveOptions& options = {});

// Patches a little-endian field of `bytes` at `offset`.
void Patch16(std::string& bytes, std::size_t offset, std::uint16_t value);
void Patch32(std::string& bytes, std::size_t offset, std::uint32_t value);

}  // namespace vpk::test
