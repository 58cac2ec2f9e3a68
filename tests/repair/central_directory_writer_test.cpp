// The directory of a repaired archive when counts, sizes and offsets outgrow their 16 and 32-bit fields.
#include "repair/central_directory_writer.h"

#include <gtest/gtest.h>

#include "engine/zip_format.h"
#include "zip_fixture.h"

namespace vpk {
namespace {

const std::uint8_t* Bytes(const std::string& s, std::size_t at = 0) {
    return reinterpret_cast<const std::uint8_t*>(s.data()) + at;
}

TFileInfo Entry(std::string name, std::uint64_t offset, std::uint64_t size) {
    TFileInfo info;
    info.versionNeeded = zip::kVersionStored;
    info.name = std::move(name);
    info.nameLength = static_cast<std::uint16_t>(info.name.size());
    info.extraLength = 7;  // the local extra field is never repeated in the central header
    info.crc32 = 0x12345678;
    info.compressedSize = size;
    info.uncompressedSize = size;
    info.localHeaderOffset = offset;
    return info;
}

TEST(CentralDirectoryWriterTest, SmallArchiveHasPlainRecords) {
    test::MemorySink sink;
    WriteCentralDirectory(sink, {Entry("a", 0, 10), Entry("bc", 41, 20)}, 93);
    const std::string& out = sink.bytes;
    ASSERT_EQ(out.size(), 2 * zip::kCentralHeaderSize + 3 + zip::kEndRecordSize);
    zip::CentralHeader second;
    ASSERT_TRUE(second.Parse(Bytes(out, zip::kCentralHeaderSize + 1)));
    EXPECT_EQ(second.localHeaderOffset, 41u);
    EXPECT_EQ(second.extraLength, 0);
    EXPECT_EQ(second.versionNeeded, zip::kVersionStored);
    zip::EndRecord end;
    ASSERT_TRUE(end.Parse(Bytes(out, out.size() - zip::kEndRecordSize)));
    EXPECT_EQ(end.entriesTotal, 2);
    EXPECT_EQ(end.directoryOffset, 93u);
    EXPECT_EQ(end.directorySize, 2 * zip::kCentralHeaderSize + 3);
}

TEST(CentralDirectoryWriterTest, ValuesBeyond32BitsGoIntoZip64Records) {
    const std::uint64_t big = 5ull << 30;
    test::MemorySink sink;
    WriteCentralDirectory(sink, {Entry("huge", 0, big), Entry("late", big + 34, 3)}, big + 71);
    const std::string& out = sink.bytes;

    zip::CentralHeader huge;
    ASSERT_TRUE(huge.Parse(Bytes(out)));
    EXPECT_EQ(huge.compressedSize, zip::kZip64Marker32);
    EXPECT_EQ(huge.uncompressedSize, zip::kZip64Marker32);
    EXPECT_EQ(huge.localHeaderOffset, 0u);
    EXPECT_EQ(huge.versionNeeded, zip::kVersionZip64);
    zip::Zip64Values values;
    ASSERT_TRUE(zip::ResolveZip64(Bytes(out, zip::kCentralHeaderSize + 4), huge.extraLength,
                                  huge.uncompressedSize, huge.compressedSize, huge.localHeaderOffset, 0,
                                  &values));
    EXPECT_EQ(values.uncompressedSize, big);
    EXPECT_EQ(values.compressedSize, big);

    zip::CentralHeader late;
    ASSERT_TRUE(late.Parse(Bytes(out, huge.TotalSize())));
    EXPECT_EQ(late.compressedSize, 3u);
    EXPECT_EQ(late.localHeaderOffset, zip::kZip64Marker32);
    ASSERT_TRUE(zip::ResolveZip64(Bytes(out, huge.TotalSize() + zip::kCentralHeaderSize + 4),
                                  late.extraLength, late.uncompressedSize, late.compressedSize,
                                  late.localHeaderOffset, 0, &values));
    EXPECT_EQ(values.localHeaderOffset, big + 34);

    const std::uint64_t directorySize = huge.TotalSize() + late.TotalSize();
    const std::size_t tail =
        out.size() - zip::kEndRecordSize - zip::kZip64LocatorSize - zip::kZip64EndRecordSize;
    EXPECT_EQ(tail, directorySize);
    zip::Zip64EndRecord record64;
    ASSERT_TRUE(record64.Parse(Bytes(out, tail)));
    EXPECT_EQ(record64.entriesTotal, 2u);
    EXPECT_EQ(record64.directoryOffset, big + 71);
    EXPECT_EQ(record64.directorySize, directorySize);
    zip::Zip64Locator locator;
    ASSERT_TRUE(locator.Parse(Bytes(out, tail + zip::kZip64EndRecordSize)));
    EXPECT_EQ(locator.endRecordOffset, big + 71 + directorySize);
    zip::EndRecord end;
    ASSERT_TRUE(end.Parse(Bytes(out, out.size() - zip::kEndRecordSize)));
    EXPECT_EQ(end.entriesTotal, 2);
    EXPECT_EQ(end.directoryOffset, zip::kZip64Marker32);
    EXPECT_EQ(end.directorySize, directorySize);
}

}  // namespace
}  // namespace vpk
