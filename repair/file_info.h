#pragma once
// One entry kept by the repair: what its central header is rebuilt from.
#include <cstdint>
#include <string>

#include "engine/zip_format.h"

namespace vpk {

struct TFileInfo {
    // The fields of the local header, in its order (after the signature).
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t dosDateTime = 0;  // date in the high word
    std::uint32_t crc32 = 0;
    // True sizes: from the ZIP64 extra field when the header's 32-bit fields hold all ones, from the
    // data descriptor when flag bit 3 is set.
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    // Position of the local header: in the input while scanning, in the output once copied.
    std::uint64_t localHeaderOffset = 0;
    std::string name;  // archive form (OEM or UTF-8 with flag bit 11)

    // Local header, name, extra field and data: the bytes copied to the output.
    std::uint64_t CopiedSize() const {
        return zip::kLocalHeaderSize + static_cast<std::uint64_t>(nameLength) + extraLength + compressedSize;
    }
};

}  // namespace vpk
