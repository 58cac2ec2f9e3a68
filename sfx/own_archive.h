#pragma once
// The self-extracting archive the stub is the head of: its own executable file, the header block
// right after the stub's ELF image, and the ZIP data behind it.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/sfx_block.h"

namespace vpk::sfx {

struct OwnArchive {
    std::string path;            // host path of the running file
    std::uint64_t stubSize = 0;  // where the header block begins
    SfxSettings settings;
};

// Reads the block behind the ELF image of the file at path; nullopt with a reason when there is none
// (the stub run on its own, or a damaged file).
std::optional<OwnArchive> OpenOwnArchive(const std::string& path, std::string& why);

// The end of an ELF file's image (headers, sections, segments, section table): whatever follows was
// appended to it. 0 when the file is not a little-endian ELF file.
std::uint64_t ElfImageEnd(const std::string& path);

}  // namespace vpk::sfx
