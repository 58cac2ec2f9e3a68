#pragma once
// One entry of an archive's central directory as List reads it. The fields follow the central header in
// its order; sizes, the local header offset and the disk number are widened to carry the true values of
// a ZIP64 archive (the header's 0xFFFFFFFF / 0xFFFF markers are replaced from its ZIP64 extra field).
#include <cstdint>
#include <string>

namespace vpk {

struct ZipDirEntry {
    std::uint8_t madeByVersion = 0;
    std::uint8_t hostSystem = 0;
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t compressionMethod = 0;
    std::uint32_t dateTime = 0;  // MS-DOS form: time in the low word, date in the high word
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;  // bytes of the stored name
    std::uint16_t extraLength = 0;
    std::uint16_t commentLength = 0;
    std::uint32_t diskNumberStart = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::uint64_t localHeaderOffset = 0;
    std::string name;     // UTF-8, "\" separators
    std::string comment;  // UTF-8
    bool encrypted = false;
};

}  // namespace vpk
