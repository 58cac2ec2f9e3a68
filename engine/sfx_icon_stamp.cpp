#include "engine/sfx_icon_stamp.h"

#include <cstring>
#include <vector>

#include "engine/sfx_icon_image.h"
#include "engine/zip_format.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

using zip::Get16;
using zip::Get32;
using zip::Get64;

constexpr std::uint32_t kResourceTypeIcon = 3;
constexpr std::uint32_t kResourceIconName = 1;
constexpr std::uint32_t kResourceNamedBit = 0x80000000;
constexpr std::uint32_t kResourceSubdirectoryBit = 0x80000000;
constexpr int kResourceDepth = 3;
// A resource tree is small; a loop in a damaged one must not spin forever.
constexpr int kMaxResourceVisits = 4096;

// Reads exactly size bytes at offset within the first limit bytes; false when they are not there.
bool ReadWithin(File& file, std::uint64_t limit, std::uint64_t offset, void* out, std::size_t size) {
    if (offset > limit || size > limit - offset) return false;
    return file.ReadAt(out, size, offset) == size;
}

std::optional<std::uint64_t> LocateInElf(File& file, std::uint64_t limit) {
    std::uint8_t h[64];
    if (!ReadWithin(file, limit, 0, h, sizeof h)) return std::nullopt;
    const bool wide = h[4] == 2;
    if ((h[4] != 1 && !wide) || h[5] != 1) return std::nullopt;  // little-endian ELF32/ELF64 only
    const std::uint64_t shoff = wide ? Get64(h + 40) : Get32(h + 32);
    const std::uint16_t shentsize = Get16(h + (wide ? 58 : 46));
    const std::uint16_t shnum = Get16(h + (wide ? 60 : 48));
    const std::uint16_t shstrndx = Get16(h + (wide ? 62 : 50));
    const std::size_t needed = wide ? 64 : 40;
    if (shentsize < needed || shstrndx >= shnum) return std::nullopt;
    struct Section {
        std::uint32_t name;
        std::uint64_t offset, size;
    };
    auto section = [&](std::uint16_t index) -> std::optional<Section> {
        std::uint8_t s[64];
        if (!ReadWithin(file, limit, shoff + std::uint64_t{index} * shentsize, s, needed))
            return std::nullopt;
        if (wide) return Section{Get32(s), Get64(s + 24), Get64(s + 32)};
        return Section{Get32(s), Get32(s + 16), Get32(s + 20)};
    };
    const auto names = section(shstrndx);
    if (!names) return std::nullopt;
    for (std::uint16_t i = 0; i < shnum; ++i) {
        const auto s = section(i);
        if (!s) return std::nullopt;
        char name[6] = {};
        if (s->name >= names->size || !ReadWithin(file, limit, names->offset + s->name, name, sizeof name))
            continue;
        if (std::memcmp(name, ".rsrc", 6) != 0) continue;
        if (s->size < kIconAreaMarkerSize + kIconImageSize) return std::nullopt;
        char marker[kIconAreaMarkerSize];
        if (!ReadWithin(file, limit, s->offset, marker, sizeof marker) ||
            std::string_view(marker, sizeof marker) != kIconAreaMarker)
            return std::nullopt;
        return s->offset + kIconAreaMarkerSize;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> LocateInPe(File& file, std::uint64_t limit) {
    std::uint8_t dos[64];
    if (!ReadWithin(file, limit, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    const std::uint32_t pe = Get32(dos + 60);
    std::uint8_t coff[24];
    if (!ReadWithin(file, limit, pe, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0)
        return std::nullopt;
    const std::uint16_t sections = Get16(coff + 6);
    const std::uint16_t optionalSize = Get16(coff + 20);
    const std::uint64_t optional = std::uint64_t{pe} + 24;
    std::vector<std::uint8_t> opt(optionalSize);
    if (!ReadWithin(file, limit, optional, opt.data(), opt.size())) return std::nullopt;
    // The resource directory is data directory 2, after 96 (PE32) or 112 (PE32+) bytes.
    std::uint32_t resourceRva = 0;
    if (optionalSize >= 2) {
        const std::size_t directories = Get16(opt.data()) == 0x20b ? 112 : 96;
        if (optionalSize >= directories + 3 * 8) resourceRva = Get32(opt.data() + directories + 2 * 8);
    }
    std::uint32_t va = 0, rawSize = 0, rawOffset = 0, virtualSize = 0;
    bool found = false;
    for (std::uint16_t i = 0; i < sections && !found; ++i) {
        std::uint8_t s[40];
        if (!ReadWithin(file, limit, optional + optionalSize + std::uint64_t{i} * 40, s, sizeof s))
            return std::nullopt;
        if (std::memcmp(s, ".rsrc\0\0\0", 8) != 0) continue;
        virtualSize = Get32(s + 8);
        va = Get32(s + 12);
        rawSize = Get32(s + 16);
        rawOffset = Get32(s + 20);
        found = true;
    }
    if (!found) return std::nullopt;
    const std::uint32_t extent = std::max(virtualSize, rawSize);
    const std::uint32_t root = resourceRva >= va && resourceRva - va < extent ? resourceRva - va : 0;
    auto read = [&](std::uint32_t at, void* out, std::size_t size) {
        return at <= rawSize && size <= rawSize - at &&
               ReadWithin(file, limit, std::uint64_t{rawOffset} + at, out, size);
    };
    int visits = 0;
    // Depth-first: type 3, then name 1, then any language; the first data entry of 744 bytes wins.
    auto walk = [&](auto&& self, std::uint32_t directory, int depth) -> std::optional<std::uint64_t> {
        std::uint8_t head[16];
        if (++visits > kMaxResourceVisits || !read(directory, head, sizeof head)) return std::nullopt;
        const std::uint32_t count = std::uint32_t{Get16(head + 12)} + Get16(head + 14);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t e[8];
            if (!read(directory + 16 + 8 * i, e, sizeof e)) return std::nullopt;
            const std::uint32_t id = Get32(e);
            const std::uint32_t target = Get32(e + 4);
            if (id & kResourceNamedBit) continue;
            if (depth == 0 && id != kResourceTypeIcon) continue;
            if (depth == 1 && id != kResourceIconName) continue;
            if (target & kResourceSubdirectoryBit) {
                if (depth + 1 > kResourceDepth) continue;
                if (auto hit = self(self, target & ~kResourceSubdirectoryBit, depth + 1)) return hit;
                continue;
            }
            std::uint8_t data[16];
            if (!read(target, data, sizeof data)) continue;
            if (Get32(data + 4) != kIconImageSize) continue;
            const std::uint32_t dataRva = Get32(data);
            if (dataRva < va) continue;
            return std::uint64_t{dataRva} - va + rawOffset;
        }
        return std::nullopt;
    };
    return walk(walk, root, 0);
}

}  // namespace

std::optional<std::uint64_t> LocateSfxIconArea(File& stub, std::uint64_t stubSize) {
    std::optional<std::uint64_t> at = LocateInElf(stub, stubSize);
    if (!at) at = LocateInPe(stub, stubSize);
    if (at && (*at > stubSize || kIconImageSize > stubSize - *at)) return std::nullopt;
    return at;
}

int StampSfxIcon(File& stub, File& output, std::uint64_t stubSize, const std::string& iconFile) {
    try {
        const auto at = LocateSfxIconArea(stub, stubSize);
        if (!at) return kIconNoArea;
        const std::string image = IconImageOfFile(iconFile);
        if (image.empty()) return kIconWrongFormat;
        output.WriteAt(image.data(), image.size(), *at);
        return kIconStamped;
    } catch (const PlatformError&) {
        return kIconOtherError;
    } catch (const std::bad_alloc&) {
        return kIconOtherError;
    }
}

std::string ReadSfxIcon(File& exe, std::uint64_t stubSize) {
    try {
        const auto at = LocateSfxIconArea(exe, stubSize);
        if (!at) return {};
        std::string image(kIconImageSize, '\0');
        if (exe.ReadAt(image.data(), image.size(), *at) != image.size() || !IsIconImage(image)) return {};
        return IconFileOfImage(image);
    } catch (const PlatformError&) {
        return {};
    }
}

}  // namespace vpk
