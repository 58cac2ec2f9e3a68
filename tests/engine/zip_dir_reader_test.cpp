#include "engine/zip_dir_reader.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/ezip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "zip_test_archive.h"

namespace vpk {
namespace {

using test::BuildTestArchive;
using test::TestArchiveOptions;
using test::TestEntry;

struct Listing {
    ZipDirectory directory;
    std::vector<int> warnings;
    int error = 0;
    std::string errorText;
    std::vector<int> sequence;
};

Listing ListBytes(const std::string& bytes, CodePageOpts codePage = CodePageOpts::cpAuto,
                  const std::string& label = {}) {
    Listing listing;
    MemoryArchiveSource source(bytes);
    ZipDirReaderHooks hooks;
    hooks.warn = [&](int id) { listing.warnings.push_back(id); };
    hooks.entry = [&](int seq, const ZipDirEntry&) { listing.sequence.push_back(seq); };
    try {
        ReadZipDirectory(source, label, codePage, hooks, listing.directory);
    } catch (const EZipEngine& e) {
        listing.error = e.MessageId();
        listing.errorText = e.what();
    }
    return listing;
}

const std::vector<TestEntry> kThreeFiles = {
    {.name = "notes.txt", .data = "first file"},
    {.name = "Letters/ann.txt", .data = "Dear Ann"},
    {.name = "Photos/holiday.b64", .data = std::string(300, 'Q'), .comment = "sunny"},
};

TEST(ZipDirReaderTest, EmptyArchiveIsEmptyWithoutPrefix) {
    const Listing l = ListBytes(BuildTestArchive({}));
    EXPECT_EQ(l.error, 0);
    EXPECT_TRUE(l.warnings.empty());
    EXPECT_TRUE(l.directory.entries.empty());
    EXPECT_EQ(l.directory.prefixSize, 0u);
    EXPECT_EQ(l.directory.layout.fileEnd, 22u);
}

TEST(ZipDirReaderTest, ReadsEntriesWithBackslashNamesCommentsAndOrder) {
    const std::string bytes = BuildTestArchive(kThreeFiles, {.comment = "Backup of May"});
    const Listing l = ListBytes(bytes);
    ASSERT_EQ(l.error, 0) << l.errorText;
    EXPECT_TRUE(l.warnings.empty());
    ASSERT_EQ(l.directory.entries.size(), 3u);
    EXPECT_EQ(l.directory.entries[1].name, "Letters\\ann.txt");
    EXPECT_EQ(l.directory.entries[2].name, "Photos\\holiday.b64");
    EXPECT_EQ(l.directory.entries[2].comment, "sunny");
    EXPECT_EQ(l.directory.entries[2].uncompressedSize, 300u);
    EXPECT_EQ(l.directory.entries[1].localHeaderOffset, 30u + 9 + 10);
    EXPECT_EQ(l.directory.comment, "Backup of May");
    EXPECT_EQ(l.directory.layout.fileEnd, bytes.size());
    EXPECT_EQ(l.directory.prefixSize, 0u);
    EXPECT_EQ(l.sequence, (std::vector<int>{1, 2, 3}));
}

TEST(ZipDirReaderTest, BytesAfterTheEndRecordWarnUnlessZeroPaddingToA512Multiple) {
    const std::string archive = BuildTestArchive(kThreeFiles, {.comment = "c"});
    const std::size_t toBlock = 512 - archive.size() % 512;
    struct Case {
        const char* what;
        std::string tail;
        bool warns;
    };
    const Case cases[] = {
        {"garbage", "XYZ", true},
        {"zeros to a 512 multiple", std::string(toBlock, '\0'), false},
        {"zeros, not to a 512 multiple", std::string(toBlock - 1, '\0'), true},
        {"zeros, 512 or more", std::string(toBlock + 512, '\0'), true},
        {"non-zero byte in the padding", std::string(toBlock - 1, '\0') + "x", true},
    };
    for (const Case& c : cases) {
        const Listing l = ListBytes(archive + c.tail);
        EXPECT_EQ(l.error, 0) << c.what;
        EXPECT_EQ(l.warnings == std::vector<int>{zipmsg::kGarbageWarning}, c.warns) << c.what;
        EXPECT_TRUE(c.warns || l.warnings.empty()) << c.what;
        EXPECT_EQ(l.directory.entries.size(), 3u) << c.what;
        EXPECT_EQ(l.directory.layout.fileEnd, archive.size()) << c.what;
        EXPECT_EQ(l.directory.comment, "c") << c.what;
    }
}

TEST(ZipDirReaderTest, WithoutEndRecordTheErrorSaysWhichPieceOfASetItIs) {
    std::string firstPiece(8, '\0');
    test::Patch32(firstPiece, 0, zip::kSpanMarker);
    test::Patch32(firstPiece, 4, zip::kLocalHeaderSignature);
    firstPiece += std::string(100, 'd');
    struct Case {
        std::string bytes;
        std::string label;
        int error;
    };
    const Case cases[] = {
        {"", "", zipmsg::kNotAZipArchive},
        {std::string(5000, 'x'), "", zipmsg::kNotAZipArchive},
        {std::string(5000, 'x'), "PKBACK# 003", zipmsg::kNthDiskOfSet},
        {std::string(5000, 'x'), "PKBACK# abc", zipmsg::kNotAZipArchive},
        {firstPiece, "", zipmsg::kFirstFileOfSet},
        {firstPiece, "PKBACK# 001", zipmsg::kFirstDiskOfSet},
    };
    for (const Case& c : cases) {
        const Listing l = ListBytes(c.bytes, CodePageOpts::cpAuto, c.label);
        EXPECT_EQ(l.error, c.error) << c.label << " / " << c.bytes.size();
    }
    EXPECT_EQ(ListBytes(std::string(64, 'x'), CodePageOpts::cpAuto, "PKBACK# 003").errorText,
              "This is the 3th disk in a backup set,\nplease insert the last disk of this set");
}

TEST(ZipDirReaderTest, NamesFollowTheCodePageRule) {
    struct Case {
        std::string raw;
        std::uint8_t host, version;
        std::uint16_t flags;
        CodePageOpts codePage;
        std::string expected;
    };
    const Case cases[] = {
        {"caf\x82.txt", 0, 20, 0, CodePageOpts::cpOEM, "caf\xC3\xA9.txt"},           // OEM é
        {"caf\x82.txt", 0, 20, 0, CodePageOpts::cpAuto, "caf\xC3\xA9.txt"},          // DOS host
        {"caf\x82.txt", 6, 20, 0, CodePageOpts::cpNone, "caf\xC3\xA9.txt"},          // OS/2 host
        {"caf\x82.txt", 11, 50, 0, CodePageOpts::cpNone, "caf\xC3\xA9.txt"},         // NTFS, version 5.0
        {"caf\x82.txt", 11, 20, 0, CodePageOpts::cpAuto, "caf\xE2\x80\x9A.txt"},     // as Windows-1252
        {"caf\xC3\xA9.txt", 3, 30, 0, CodePageOpts::cpAuto, "caf\xC3\xA9.txt"},      // Unix UTF-8 bytes
        {"caf\xC3\xA9.txt", 3, 30, 0x0800, CodePageOpts::cpOEM, "caf\xC3\xA9.txt"},  // UTF-8 flag wins
        {"dir/sub/x.txt", 3, 30, 0, CodePageOpts::cpOEM, "dir\\sub\\x.txt"},
    };
    for (const Case& c : cases) {
        const std::string bytes = BuildTestArchive(
            {{.name = c.raw, .data = "x", .host = c.host, .version = c.version, .flags = c.flags}});
        const Listing l = ListBytes(bytes, c.codePage);
        ASSERT_EQ(l.directory.entries.size(), 1u) << c.expected;
        EXPECT_EQ(l.directory.entries[0].name, c.expected);
        EXPECT_EQ(l.directory.layout.lastHostSystem, c.host);
    }
}

TEST(ZipDirReaderTest, Zip64FieldsCarryTheTrueValues) {
    const std::uint64_t fiveGiB = 5ull << 30;
    const std::string bytes =
        BuildTestArchive({{.name = "small", .data = "abc", .zip64 = true},
                          {.name = "big", .data = "z", .zip64 = true, .claimedSize = fiveGiB}},
                         {.zip64EndRecord = true});
    const Listing l = ListBytes(bytes);
    ASSERT_EQ(l.error, 0) << l.errorText;
    EXPECT_TRUE(l.warnings.empty());
    EXPECT_TRUE(l.directory.layout.zip64);
    ASSERT_EQ(l.directory.entries.size(), 2u);
    EXPECT_EQ(l.directory.entries[0].uncompressedSize, 3u);
    EXPECT_EQ(l.directory.entries[1].uncompressedSize, fiveGiB);
    EXPECT_EQ(l.directory.entries[1].compressedSize, fiveGiB);
    EXPECT_EQ(l.directory.entries[1].localHeaderOffset, 30u + 5 + 28 + 3);  // header, name, ZIP64 extra, data
}

TEST(ZipDirReaderTest, PrefixSizeIsWhereTheZipDataStarts) {
    const std::string stub(1000, 'S');
    struct Case {
        const char* what;
        std::vector<TestEntry> entries;
        TestArchiveOptions options;
        std::uint64_t prefix;
        bool structureWarning;
    };
    const Case cases[] = {
        {"stub with adjusted offsets", kThreeFiles, {.prefix = stub, .adjustOffsets = true}, 1000, false},
        {"stub simply put in front", kThreeFiles, {.prefix = stub}, 1000, true},
        {"empty archive after a stub", {}, {.prefix = stub, .adjustOffsets = true}, 1000, false},
        {"empty archive with a comment", {}, {.comment = "only a comment"}, 0, false},
        {"plain archive", kThreeFiles, {}, 0, false},
    };
    for (const Case& c : cases) {
        const Listing l = ListBytes(BuildTestArchive(c.entries, c.options));
        ASSERT_EQ(l.error, 0) << c.what << ": " << l.errorText;
        EXPECT_EQ(l.directory.prefixSize, c.prefix) << c.what;
        EXPECT_EQ(l.directory.layout.directoryStartsDiffer, c.structureWarning) << c.what;
        EXPECT_EQ(l.warnings.size(), c.structureWarning ? 1u : 0u) << c.what;
        EXPECT_EQ(l.directory.entries.size(), c.entries.size()) << c.what;
    }
}

TEST(ZipDirReaderTest, EveryTruncationFailsCleanlyOrListsEverything) {
    const std::string bytes = BuildTestArchive(kThreeFiles, {.comment = "trailing comment"});
    const std::set<int> clearErrors = {zipmsg::kNotAZipArchive,         zipmsg::kCentralHeaderReadError,
                                       zipmsg::kCentralSignatureWrong,  zipmsg::kCentralNameReadError,
                                       zipmsg::kListSeekError,          zipmsg::kFileCommentReadError,
                                       zipmsg::kDirectoryOutsideArchive};
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const Listing l = ListBytes(bytes.substr(0, cut));
        if (l.error != 0) {
            EXPECT_TRUE(clearErrors.count(l.error)) << "cut at " << cut << ": " << l.error;
            EXPECT_EQ(l.directory.prefixSize, 0u);
        } else {
            // Only the comment was cut: the directory is whole, the comment what is left of it.
            EXPECT_EQ(l.directory.entries.size(), 3u) << "cut at " << cut;
            EXPECT_EQ(std::string("trailing comment").rfind(l.directory.comment, 0), 0u) << "cut at " << cut;
            EXPECT_TRUE(l.warnings.empty() || l.warnings == std::vector<int>{zipmsg::kStructureWarning});
        }
    }
}

TEST(ZipDirReaderTest, DamagedDirectoriesGiveTheirMessageAndKeepWhatWasRead) {
    const std::string good = BuildTestArchive(kThreeFiles);
    const std::size_t end = good.size() - zip::kEndRecordSize;
    const std::size_t directory = zip::Get32(reinterpret_cast<const std::uint8_t*>(good.data() + end + 16));
    const std::size_t secondHeader = directory + zip::kCentralHeaderSize + kThreeFiles[0].name.size();
    struct Case {
        const char* what;
        std::size_t offset;
        int width;
        std::uint32_t value;
        int error;
        std::size_t entriesKept;
    };
    const Case cases[] = {
        {"entry count lies", end + 10, 16, 60000, zipmsg::kCentralHeaderReadError, 3},
        {"huge name length", secondHeader + 28, 16, 0xFFFF, zipmsg::kCentralNameReadError, 1},
        {"bad signature", secondHeader, 32, 0x12345678, zipmsg::kCentralSignatureWrong, 1},
        {"directory larger than the file", end + 12, 32, 0x7FFFFFFF, zipmsg::kDirectoryOutsideArchive, 0},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        if (c.width == 16) {
            test::Patch16(bytes, c.offset, static_cast<std::uint16_t>(c.value));
        } else {
            test::Patch32(bytes, c.offset, c.value);
        }
        const Listing l = ListBytes(bytes);
        EXPECT_EQ(l.error, c.error) << c.what;
        EXPECT_EQ(l.directory.entries.size(), c.entriesKept) << c.what;
        EXPECT_EQ(l.directory.prefixSize, 0u) << c.what;
    }
}

TEST(ZipDirReaderTest, DirectoryOffsetPastTheEndWarnsAndListsFromTheComputedStart) {
    std::string bytes = BuildTestArchive(kThreeFiles);
    test::Patch32(bytes, bytes.size() - zip::kEndRecordSize + 16, 0x7FFF0000);
    const Listing l = ListBytes(bytes);
    EXPECT_EQ(l.error, 0) << l.errorText;
    EXPECT_EQ(l.warnings, std::vector<int>{zipmsg::kStructureWarning});
    EXPECT_EQ(l.directory.entries.size(), 3u);
    EXPECT_EQ(l.directory.prefixSize, 0u);
}

TEST(ZipDirReaderTest, LyingSizesAreListedAsClaimedWithoutReadingData) {
    std::string bytes = BuildTestArchive(kThreeFiles);
    const std::size_t directory =
        bytes.size() - zip::kEndRecordSize - (3 * zip::kCentralHeaderSize + 9 + 15 + 18 + 5);
    test::Patch32(bytes, directory + 20, 0xFFFFFFF0);  // compressed size, no ZIP64 extra
    const Listing l = ListBytes(bytes);
    ASSERT_EQ(l.error, 0) << l.errorText;
    EXPECT_EQ(l.directory.entries[0].compressedSize, 0xFFFFFFF0u);
}

}  // namespace
}  // namespace vpk
