#pragma once
// Small stand-in stubs for the conversion tests: an ELF file with (or without) the icon section, and a
// PE file with a resource tree, each a few kilobytes, with the icon image's position known.
#include <cstdint>
#include <string>

namespace vpk::test {

struct StubImage {
    std::string bytes;
    std::uint64_t iconAt = 0;  // position of the 744-byte image, 0 when there is none
};

// An ELF64 file whose ".rsrc" section holds the marker and the default image; withIconSection false
// names the section differently so no icon place exists.
StubImage ElfStub(bool withIconSection = true);
// A PE file whose ".rsrc" resource tree has a named entry and a type-14 entry (both to be skipped)
// before type 3 / name 1 / language 0x409 with the 744-byte image.
StubImage PeStub();

}  // namespace vpk::test
