#pragma once
// Byte layouts of the ZIP records the engine, the libraries and the repair tool read and write, with
// little-endian helpers. Plain C++: no platform, no I/O. Every multi-byte field is little-endian.
//
// Archive layout:
//   [prefix (self-extractor)] { local header, name, extra, [encryption header], data, [descriptor] }*
//   central header*  [ZIP64 end record, ZIP64 locator]  end record [comment]
//
// Local header, 30 bytes + name + extra:
//   0  4 signature 0x04034b50 ("PK\3\4")   14  4 CRC-32
//   4  2 version needed to extract          18  4 compressed size   (0xFFFFFFFF: in the ZIP64 extra)
//   6  2 general purpose flags              22  4 uncompressed size (0xFFFFFFFF: in the ZIP64 extra)
//   8  2 compression method                 26  2 name length
//  10  2 modification time (DOS)            28  2 extra field length
//  12  2 modification date (DOS)
// With flag bit 3 the CRC and sizes here are 0 and follow the data in a data descriptor.
//
// Central header, 46 bytes + name + extra + comment:
//   0  4 signature 0x02014b50 ("PK\1\2")   24  4 uncompressed size
//   4  2 version made by (low: version, high: host system)
//   6  2 version needed                     28  2 name length
//   8  2 flags                              30  2 extra field length
//  10  2 method                             32  2 comment length
//  12  2 time                               34  2 disk number start
//  14  2 date                               36  2 internal attributes
//  16  4 CRC-32                             38  4 external attributes (low byte: DOS attributes)
//  20  4 compressed size                    42  4 local header offset
//
// End record, 22 bytes + comment:
//   0  4 signature 0x06054b50 ("PK\5\6")   12  4 central directory size
//   4  2 number of this disk                16  4 central directory offset (on its disk)
//   6  2 disk where the directory starts    20  2 comment length
//   8  2 entries on this disk
//  10  2 entries in total
// A field that does not fit holds all ones (0xFFFF / 0xFFFFFFFF) and the ZIP64 end record has the
// true value.
//
// ZIP64 end record, 56 bytes (no extensible data written):
//   0  4 signature 0x06064b50               24  8 entries on this disk
//   4  8 size of the rest of the record (44) 32  8 entries in total
//  12  2 version made by                    40  8 central directory size
//  14  2 version needed (45)                48  8 central directory offset
//  16  4 number of this disk
//  20  4 disk where the directory starts
//
// ZIP64 end record locator, 20 bytes, right before the end record:
//   0  4 signature 0x07064b50    4  4 disk of the ZIP64 end record
//   8  8 offset of the ZIP64 end record   16  4 total number of disks
//
// ZIP64 extra field (header id 0x0001), in local and central headers: only the values whose 32-bit
// field holds all ones, in this order: uncompressed size 8, compressed size 8, local header offset 8,
// disk number start 4. A local header carries both sizes whenever it has the field.
//
// Data descriptor, after the data when flag bit 3 is set: [signature 0x08074b50] CRC-32 4, compressed
// size 4 (8 with ZIP64), uncompressed size 4 (8 with ZIP64). The signature is optional on reading.
//
// Traditional encryption: a 12-byte header before the data (counted in the compressed size), whose
// last byte is the high byte of the CRC (or, with bit 3, of the DOS time) to check the password.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpk::zip {

inline std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Get64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(Get32(p)) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32);
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Signatures.
inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64EndRecordSignature = 0x06064b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr std::uint32_t kDataDescriptorSignature = 0x08074b50;
// The first piece of a multi-disk archive starts with the data descriptor signature.
inline constexpr std::uint32_t kSpanMarker = 0x08074b50;

// Fixed record sizes.
inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64EndRecordSize = 56;
inline constexpr std::size_t kZip64LocatorSize = 20;
inline constexpr std::size_t kMaxCommentSize = 65535;
// The end record search reads at most this many bytes from the end: record plus the largest comment.
inline constexpr std::size_t kMaxEndSearch = kEndRecordSize + kMaxCommentSize;
inline constexpr std::size_t kEncryptionHeaderSize = 12;

// General purpose flag bits.
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDeflateMax = 0x0002;   // deflate levels 8-9
inline constexpr std::uint16_t kFlagDeflateFast = 0x0004;  // deflate levels 1-2
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;

// Compression methods.
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
inline constexpr std::uint16_t kMethodAes = 99;  // recognised only to refuse it clearly

// Versions (value = major * 10 + minor).
inline constexpr std::uint16_t kVersionStored = 10;
inline constexpr std::uint16_t kVersionFolder = 20;
inline constexpr std::uint16_t kVersionDeflated = 20;
inline constexpr std::uint16_t kVersionZip64 = 45;
// Host systems (high byte of version made by).
inline constexpr std::uint8_t kHostDos = 0;
inline constexpr std::uint8_t kHostUnix = 3;
inline constexpr std::uint8_t kHostNtfs = 11;
inline constexpr std::uint8_t kHostOs2Hpfs = 6;

// Extra field header ids.
inline constexpr std::uint16_t kExtraZip64 = 0x0001;
inline constexpr std::uint16_t kExtraUnicodePath = 0x7075;  // version 1, CRC of the header name, UTF-8 name

// A 32-bit size or offset field holding this value is in the ZIP64 extra field.
inline constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
inline constexpr std::uint16_t kZip64Marker16 = 0xFFFF;

struct LocalHeader {
    std::uint16_t versionNeeded = kVersionDeflated;
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodDeflated;
    std::uint32_t dosDateTime = 0;  // date in the high word
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;

    // False when the signature is wrong. p holds kLocalHeaderSize bytes.
    bool Parse(const std::uint8_t* p) {
        if (Get32(p) != kLocalHeaderSignature) return false;
        versionNeeded = Get16(p + 4);
        flags = Get16(p + 6);
        method = Get16(p + 8);
        dosDateTime = Get16(p + 10) | (static_cast<std::uint32_t>(Get16(p + 12)) << 16);
        crc32 = Get32(p + 14);
        compressedSize = Get32(p + 18);
        uncompressedSize = Get32(p + 22);
        nameLength = Get16(p + 26);
        extraLength = Get16(p + 28);
        return true;
    }
    void Write(std::uint8_t* p) const {
        Put32(p, kLocalHeaderSignature);
        Put16(p + 4, versionNeeded);
        Put16(p + 6, flags);
        Put16(p + 8, method);
        Put16(p + 10, static_cast<std::uint16_t>(dosDateTime));
        Put16(p + 12, static_cast<std::uint16_t>(dosDateTime >> 16));
        Put32(p + 14, crc32);
        Put32(p + 18, compressedSize);
        Put32(p + 22, uncompressedSize);
        Put16(p + 26, nameLength);
        Put16(p + 28, extraLength);
    }
};

struct CentralHeader {
    std::uint16_t versionMadeBy = kVersionDeflated;
    std::uint16_t versionNeeded = kVersionDeflated;
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodDeflated;
    std::uint32_t dosDateTime = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    std::uint16_t commentLength = 0;
    std::uint16_t diskNumberStart = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::uint32_t localHeaderOffset = 0;

    std::uint8_t HostSystem() const { return static_cast<std::uint8_t>(versionMadeBy >> 8); }
    // Bytes of the whole header with its variable parts.
    std::size_t TotalSize() const { return kCentralHeaderSize + nameLength + extraLength + commentLength; }

    bool Parse(const std::uint8_t* p) {
        if (Get32(p) != kCentralHeaderSignature) return false;
        versionMadeBy = Get16(p + 4);
        versionNeeded = Get16(p + 6);
        flags = Get16(p + 8);
        method = Get16(p + 10);
        dosDateTime = Get16(p + 12) | (static_cast<std::uint32_t>(Get16(p + 14)) << 16);
        crc32 = Get32(p + 16);
        compressedSize = Get32(p + 20);
        uncompressedSize = Get32(p + 24);
        nameLength = Get16(p + 28);
        extraLength = Get16(p + 30);
        commentLength = Get16(p + 32);
        diskNumberStart = Get16(p + 34);
        internalAttributes = Get16(p + 36);
        externalAttributes = Get32(p + 38);
        localHeaderOffset = Get32(p + 42);
        return true;
    }
    void Write(std::uint8_t* p) const {
        Put32(p, kCentralHeaderSignature);
        Put16(p + 4, versionMadeBy);
        Put16(p + 6, versionNeeded);
        Put16(p + 8, flags);
        Put16(p + 10, method);
        Put16(p + 12, static_cast<std::uint16_t>(dosDateTime));
        Put16(p + 14, static_cast<std::uint16_t>(dosDateTime >> 16));
        Put32(p + 16, crc32);
        Put32(p + 20, compressedSize);
        Put32(p + 24, uncompressedSize);
        Put16(p + 28, nameLength);
        Put16(p + 30, extraLength);
        Put16(p + 32, commentLength);
        Put16(p + 34, diskNumberStart);
        Put16(p + 36, internalAttributes);
        Put32(p + 38, externalAttributes);
        Put32(p + 42, localHeaderOffset);
    }
};

struct EndRecord {
    std::uint16_t diskNumber = 0;
    std::uint16_t directoryDisk = 0;
    std::uint16_t entriesOnDisk = 0;
    std::uint16_t entriesTotal = 0;
    std::uint32_t directorySize = 0;
    std::uint32_t directoryOffset = 0;
    std::uint16_t commentLength = 0;

    // True when any field says the ZIP64 end record holds the real value.
    bool NeedsZip64() const {
        return diskNumber == kZip64Marker16 || directoryDisk == kZip64Marker16 ||
               entriesOnDisk == kZip64Marker16 || entriesTotal == kZip64Marker16 ||
               directorySize == kZip64Marker32 || directoryOffset == kZip64Marker32;
    }
    bool Parse(const std::uint8_t* p) {
        if (Get32(p) != kEndRecordSignature) return false;
        diskNumber = Get16(p + 4);
        directoryDisk = Get16(p + 6);
        entriesOnDisk = Get16(p + 8);
        entriesTotal = Get16(p + 10);
        directorySize = Get32(p + 12);
        directoryOffset = Get32(p + 16);
        commentLength = Get16(p + 20);
        return true;
    }
    void Write(std::uint8_t* p) const {
        Put32(p, kEndRecordSignature);
        Put16(p + 4, diskNumber);
        Put16(p + 6, directoryDisk);
        Put16(p + 8, entriesOnDisk);
        Put16(p + 10, entriesTotal);
        Put32(p + 12, directorySize);
        Put32(p + 16, directoryOffset);
        Put16(p + 20, commentLength);
    }
};

struct Zip64EndRecord {
    std::uint16_t versionMadeBy = kVersionZip64;
    std::uint16_t versionNeeded = kVersionZip64;
    std::uint32_t diskNumber = 0;
    std::uint32_t directoryDisk = 0;
    std::uint64_t entriesOnDisk = 0;
    std::uint64_t entriesTotal = 0;
    std::uint64_t directorySize = 0;
    std::uint64_t directoryOffset = 0;

    bool Parse(const std::uint8_t* p) {
        if (Get32(p) != kZip64EndRecordSignature) return false;
        versionMadeBy = Get16(p + 12);
        versionNeeded = Get16(p + 14);
        diskNumber = Get32(p + 16);
        directoryDisk = Get32(p + 20);
        entriesOnDisk = Get64(p + 24);
        entriesTotal = Get64(p + 32);
        directorySize = Get64(p + 40);
        directoryOffset = Get64(p + 48);
        return true;
    }
    void Write(std::uint8_t* p) const {
        Put32(p, kZip64EndRecordSignature);
        Put64(p + 4, kZip64EndRecordSize - 12);
        Put16(p + 12, versionMadeBy);
        Put16(p + 14, versionNeeded);
        Put32(p + 16, diskNumber);
        Put32(p + 20, directoryDisk);
        Put64(p + 24, entriesOnDisk);
        Put64(p + 32, entriesTotal);
        Put64(p + 40, directorySize);
        Put64(p + 48, directoryOffset);
    }
};

struct Zip64Locator {
    std::uint32_t endRecordDisk = 0;
    std::uint64_t endRecordOffset = 0;
    std::uint32_t totalDisks = 1;

    bool Parse(const std::uint8_t* p) {
        if (Get32(p) != kZip64LocatorSignature) return false;
        endRecordDisk = Get32(p + 4);
        endRecordOffset = Get64(p + 8);
        totalDisks = Get32(p + 16);
        return true;
    }
    void Write(std::uint8_t* p) const {
        Put32(p, kZip64LocatorSignature);
        Put32(p + 4, endRecordDisk);
        Put64(p + 8, endRecordOffset);
        Put32(p + 16, totalDisks);
    }
};

// Finds the data of one extra field block by header id; false when absent or when the blocks are
// malformed (a block running past the end stops the walk).
inline bool FindExtraField(const std::uint8_t* extra, std::size_t length, std::uint16_t id,
                           const std::uint8_t** data, std::uint16_t* dataLength) {
    std::size_t pos = 0;
    while (pos + 4 <= length) {
        const std::uint16_t blockId = Get16(extra + pos);
        const std::uint16_t blockLength = Get16(extra + pos + 2);
        if (pos + 4 + blockLength > length) return false;
        if (blockId == id) {
            *data = extra + pos + 4;
            *dataLength = blockLength;
            return true;
        }
        pos += 4 + static_cast<std::size_t>(blockLength);
    }
    return false;
}

// The true 64-bit values of an entry: the 32-bit fields, replaced from the ZIP64 extra field where
// they hold all ones. False when a field needs the extra field but it is missing or too short.
struct Zip64Values {
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    std::uint32_t diskNumberStart = 0;
};

inline bool ResolveZip64(const std::uint8_t* extra, std::size_t extraLength, std::uint32_t uncompressed32,
                         std::uint32_t compressed32, std::uint32_t offset32, std::uint16_t disk16,
                         Zip64Values* out) {
    out->uncompressedSize = uncompressed32;
    out->compressedSize = compressed32;
    out->localHeaderOffset = offset32;
    out->diskNumberStart = disk16;
    const bool needU = uncompressed32 == kZip64Marker32;
    const bool needC = compressed32 == kZip64Marker32;
    const bool needO = offset32 == kZip64Marker32;
    const bool needD = disk16 == kZip64Marker16;
    if (!needU && !needC && !needO && !needD) return true;
    const std::uint8_t* data = nullptr;
    std::uint16_t length = 0;
    if (!FindExtraField(extra, extraLength, kExtraZip64, &data, &length)) return false;
    std::size_t pos = 0;
    auto take64 = [&](std::uint64_t* value) {
        if (pos + 8 > length) return false;
        *value = Get64(data + pos);
        pos += 8;
        return true;
    };
    if (needU && !take64(&out->uncompressedSize)) return false;
    if (needC && !take64(&out->compressedSize)) return false;
    if (needO && !take64(&out->localHeaderOffset)) return false;
    if (needD) {
        if (pos + 4 > length) return false;
        out->diskNumberStart = Get32(data + pos);
    }
    return true;
}

// Appends a ZIP64 extra block holding the given values (those flagged) to extra.
inline void AppendZip64Extra(std::string& extra, bool withUncompressed, std::uint64_t uncompressed,
                             bool withCompressed, std::uint64_t compressed, bool withOffset,
                             std::uint64_t offset) {
    std::uint8_t block[4 + 24];
    std::size_t length = 0;
    auto add = [&](std::uint64_t value) {
        Put64(block + 4 + length, value);
        length += 8;
    };
    if (withUncompressed) add(uncompressed);
    if (withCompressed) add(compressed);
    if (withOffset) add(offset);
    if (length == 0) return;
    Put16(block, kExtraZip64);
    Put16(block + 2, static_cast<std::uint16_t>(length));
    extra.append(reinterpret_cast<const char*>(block), 4 + length);
}

// Removes every block with the given id from an extra field (used when a copied entry gets new
// ZIP64 values). Malformed trailing bytes are dropped.
inline std::string RemoveExtraField(std::string_view extra, std::uint16_t id) {
    std::string kept;
    std::size_t pos = 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(extra.data());
    while (pos + 4 <= extra.size()) {
        const std::uint16_t blockLength = Get16(bytes + pos + 2);
        if (pos + 4 + blockLength > extra.size()) break;
        if (Get16(bytes + pos) != id) kept.append(extra.substr(pos, 4 + blockLength));
        pos += 4 + static_cast<std::size_t>(blockLength);
    }
    return kept;
}

}  // namespace vpk::zip
