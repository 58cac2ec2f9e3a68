#include "stub_images.h"

#include "engine/sfx_icon_image.h"
#include "engine/zip_format.h"

namespace vpk::test {

namespace {

void Put16(std::string& s, std::size_t at, std::uint16_t v) {
    zip::Put16(reinterpret_cast<std::uint8_t*>(&s[at]), v);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
    zip::Put32(reinterpret_cast<std::uint8_t*>(&s[at]), v);
}
void Put64(std::string& s, std::size_t at, std::uint64_t v) {
    zip::Put64(reinterpret_cast<std::uint8_t*>(&s[at]), v);
}

std::string DefaultImage() {
    const auto image = DefaultIconImage();
    return std::string(image.begin(), image.end());
}

}  // namespace

StubImage ElfStub(bool withIconSection) {
    std::string elf(64, '\0');
    elf.replace(0, 4,
                "\x7f"
                "ELF");
    elf[4] = 2;  // 64-bit
    elf[5] = 1;  // little-endian
    elf[6] = 1;
    const std::size_t rsrc = elf.size();
    elf += std::string(kIconAreaMarker) + DefaultImage();
    const std::size_t names = elf.size();
    const std::string nameTable =
        std::string("\0", 1) + (withIconSection ? ".rsrc" : ".data") + '\0' + ".shstrtab" + '\0';
    elf += nameTable;
    while (elf.size() % 8) elf += '\0';
    const std::size_t table = elf.size();
    elf += std::string(3 * 64, '\0');
    auto section = [&](int index, std::uint32_t name, std::uint32_t type, std::uint64_t offset,
                       std::uint64_t size) {
        const std::size_t at = table + 64 * static_cast<std::size_t>(index);
        Put32(elf, at, name);
        Put32(elf, at + 4, type);
        Put64(elf, at + 24, offset);
        Put64(elf, at + 32, size);
    };
    section(1, 1, 1, rsrc, kIconAreaMarkerSize + kIconImageSize);
    section(2, 7, 3, names, nameTable.size());
    Put64(elf, 40, table);
    Put16(elf, 58, 64);
    Put16(elf, 60, 3);
    Put16(elf, 62, 2);
    return {elf, withIconSection ? rsrc + kIconAreaMarkerSize : 0};
}

StubImage PeStub() {
    constexpr std::uint32_t kRawOffset = 512, kVa = 0x1000;
    std::string pe(kRawOffset, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    Put32(pe, 60, 64);
    pe.replace(64, 4, std::string("PE\0\0", 4));
    Put16(pe, 64 + 6, 1);  // one section
    constexpr std::uint16_t kOptionalSize = 96 + 16 * 8;
    Put16(pe, 64 + 20, kOptionalSize);
    const std::size_t optional = 64 + 24;
    Put16(pe, optional, 0x10b);
    // Resource tree, offsets from the section start.
    std::string tree(0x200, '\0');
    auto directory = [&](std::size_t at, std::uint16_t named, std::uint16_t ids) {
        Put16(tree, at + 12, named);
        Put16(tree, at + 14, ids);
    };
    auto entry = [&](std::size_t at, std::uint32_t id, std::uint32_t target) {
        Put32(tree, at, id);
        Put32(tree, at + 4, target);
    };
    directory(0x00, 1, 2);
    entry(0x10, 0x80000000 | 0x180, 0x80000000 | 0x40);  // a named type: skipped
    entry(0x18, 14, 0x80000000 | 0x40);                  // group icons: not the image
    entry(0x20, 3, 0x80000000 | 0x60);
    directory(0x40, 0, 1);
    entry(0x50, 7, 0x100);  // a 744-byte data entry under another type
    directory(0x60, 0, 1);
    entry(0x70, 1, 0x80000000 | 0x80);
    directory(0x80, 0, 1);
    entry(0x90, 0x409, 0x110);
    Put32(tree, 0x100, kVa + 0x1000);  // decoy data
    Put32(tree, 0x104, kIconImageSize);
    Put32(tree, 0x110, kVa + 0x200);  // the icon image, right after the tree
    Put32(tree, 0x114, kIconImageSize);
    tree += DefaultImage();
    Put32(pe, optional + 96 + 2 * 8, kVa);
    Put32(pe, optional + 96 + 2 * 8 + 4, static_cast<std::uint32_t>(tree.size()));
    const std::size_t header = optional + kOptionalSize;
    pe.replace(header, 8, std::string(".rsrc\0\0\0", 8));
    Put32(pe, header + 8, static_cast<std::uint32_t>(tree.size()));
    Put32(pe, header + 12, kVa);
    Put32(pe, header + 16, static_cast<std::uint32_t>(tree.size()));
    Put32(pe, header + 20, kRawOffset);
    pe += tree;
    return {pe, kRawOffset + 0x200};
}

}  // namespace vpk::test
