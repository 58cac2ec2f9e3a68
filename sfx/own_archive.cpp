#include "sfx/own_archive.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "engine/zip_format.h"

namespace vpk::sfx {

namespace {

using zip::Get16;
using zip::Get32;
using zip::Get64;

bool ReadAt(std::ifstream& in, std::uint64_t offset, void* out, std::size_t size) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(out), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

}  // namespace

std::uint64_t ElfImageEnd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint8_t h[64];
    if (!in || !ReadAt(in, 0, h, sizeof h) || h[0] != 0x7f || h[1] != 'E' || h[2] != 'L' || h[3] != 'F' ||
        h[5] != 1)
        return 0;
    const bool wide = h[4] == 2;
    const std::uint64_t phoff = wide ? Get64(h + 32) : Get32(h + 28);
    const std::uint64_t shoff = wide ? Get64(h + 40) : Get32(h + 32);
    const std::uint16_t phentsize = Get16(h + (wide ? 54 : 42)), phnum = Get16(h + (wide ? 56 : 44));
    const std::uint16_t shentsize = Get16(h + (wide ? 58 : 46)), shnum = Get16(h + (wide ? 60 : 48));
    std::uint64_t end = wide ? 64 : 52;
    end = std::max(end, phoff + std::uint64_t{phentsize} * phnum);
    end = std::max(end, shoff + std::uint64_t{shentsize} * shnum);
    constexpr std::uint32_t kNoBits = 8;
    for (std::uint16_t i = 0; i < shnum; ++i) {
        std::uint8_t s[64] = {};
        if (!ReadAt(in, shoff + std::uint64_t{i} * shentsize, s, wide ? 64 : 40)) return 0;
        if (Get32(s + 4) == kNoBits) continue;
        const std::uint64_t offset = wide ? Get64(s + 24) : Get32(s + 16);
        const std::uint64_t size = wide ? Get64(s + 32) : Get32(s + 20);
        end = std::max(end, offset + size);
    }
    for (std::uint16_t i = 0; i < phnum; ++i) {
        std::uint8_t p[56] = {};
        if (!ReadAt(in, phoff + std::uint64_t{i} * phentsize, p, wide ? 56 : 32)) return 0;
        const std::uint64_t offset = wide ? Get64(p + 8) : Get32(p + 4);
        const std::uint64_t size = wide ? Get64(p + 32) : Get32(p + 16);
        end = std::max(end, offset + size);
    }
    return end;
}

std::optional<OwnArchive> OpenOwnArchive(const std::string& path, std::string& why) {
    const std::uint64_t stubSize = ElfImageEnd(path);
    if (stubSize == 0) {
        why = "cannot read " + path;
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    // The largest block: 12 fixed bytes and four texts of 255 characters.
    std::string block(kSfxBlockFixedSize + 4 * kSfxMaxTextLength, '\0');
    in.seekg(static_cast<std::streamoff>(stubSize));
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    block.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    auto settings = ParseSfxBlock(block);
    if (!settings) {
        why = "no archive is attached to this program";
        return std::nullopt;
    }
    return OwnArchive{path, stubSize, *settings};
}

}  // namespace vpk::sfx
