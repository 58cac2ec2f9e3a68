// TZipFix on archives built in memory: what is kept, what is rejected, and what the output holds.
#include "repair/zip_fix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/zip_format.h"
#include "support/test_support.h"
#include "zip_fixture.h"

namespace vpk {
namespace {

using test::FixtureEntry;
using test::ZipBuilder;
using ::testing::ElementsAre;
using ::testing::Pair;

struct RepairResult {
    std::string output;
    std::vector<std::pair<std::string, bool>> found;  // OnFileFound calls in order
    std::vector<TFileInfo> entries;
};

RepairResult Repair(const std::string& input) {
    RepairResult result;
    test::MemorySink sink;
    TZipFix fix;
    fix.OnFileFound = [&](TZipFix&, const std::string& name, bool ok) {
        result.found.emplace_back(name, ok);
    };
    fix.SetInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    fix.SetOutput(&sink);
    fix.RepairArchive();
    result.output = sink.bytes;
    result.entries = fix.Entries();
    return result;
}

// The central headers of a repaired archive, read back through its end record.
std::vector<zip::CentralHeader> CentralHeaders(const std::string& archive) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(archive.data());
    zip::EndRecord end;
    EXPECT_TRUE(end.Parse(bytes + archive.size() - zip::kEndRecordSize));
    std::vector<zip::CentralHeader> headers;
    std::uint64_t at = end.directoryOffset;
    for (int i = 0; i < end.entriesTotal; ++i) {
        zip::CentralHeader header;
        EXPECT_TRUE(header.Parse(bytes + at));
        headers.push_back(header);
        at += header.TotalSize();
    }
    return headers;
}

// Bytes that do not compress.
std::string Noise(std::size_t size) {
    std::string s;
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245 + 12345;
        s += static_cast<char>('a' + (x >> 16) % 26);
    }
    return s;
}

std::string Text(std::size_t size, char seed) {
    std::string s;
    for (std::size_t i = 0; i < size; ++i) s += static_cast<char>(seed + (i * 7 + i / 13) % 23);
    return s;
}

TEST(ZipFixTest, RefusesToRunWithoutInputOrOutput) {
    test::MemorySink sink;
    const std::uint8_t byte = 0;
    TZipFix noInput;
    noInput.SetOutput(&sink);
    TZipFix noOutput;
    noOutput.SetInput(&byte, 1);
    for (TZipFix* fix : {&noInput, &noOutput}) {
        try {
            fix->RepairArchive();
            ADD_FAILURE() << "no error raised";
        } catch (const EZipFix& e) {
            EXPECT_STREQ(e.what(), "No input or no output stream has been defined");
        }
    }
}

TEST(ZipFixTest, SoundArchiveKeepsEveryEntryAndItsData) {
    test::TempDir dir;
    ZipBuilder zip;
    zip.Add({.name = "docs/a.txt", .data = Text(5000, 'a'), .deflate = true})
        .Add({.name = "b.bin", .data = Text(300, '0')})
        .Add({.name = "empty.txt", .data = "", .deflate = true});
    const auto result = Repair(zip.Finish());
    EXPECT_THAT(result.found,
                ElementsAre(Pair("docs/a.txt", true), Pair("b.bin", true), Pair("empty.txt", true)));
    // Entries are copied unchanged, in order, and the directory points at them.
    EXPECT_EQ(result.output.substr(0, zip.Local().size()), zip.Local());
    test::WriteHostFile(dir / "fixed.zip", result.output);
    const auto listed = test::ListWithPython(dir / "fixed.zip");
    ASSERT_TRUE(listed);
    EXPECT_EQ(*listed, (std::vector<test::ListedEntry>{{"docs/a.txt", 5000, test::Crc32(Text(5000, 'a')), 0},
                                                       {"b.bin", 300, test::Crc32(Text(300, '0')), 0},
                                                       {"empty.txt", 0, 0, 0}}));
    const auto headers = CentralHeaders(result.output);
    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[1].localHeaderOffset, zip.OffsetOf(1));
    EXPECT_EQ(headers[1].versionMadeBy, 0);
    EXPECT_EQ(headers[1].extraLength, 0);
}

TEST(ZipFixTest, DescriptorEntriesKeepBit3AndTakeTheDescriptorValues) {
    test::TempDir dir;
    const std::string data = Text(4000, 'k');
    ZipBuilder zip;
    zip.Add({.name = "streamed.txt", .data = data, .deflate = true, .descriptor = true})
        .Add({.name = "wide.txt", .data = data, .descriptor = true, .zip64 = true})
        .Add({.name = "after.txt", .data = "tail"});
    const auto result = Repair(zip.Local());
    EXPECT_THAT(result.found,
                ElementsAre(Pair("streamed.txt", true), Pair("wide.txt", true), Pair("after.txt", true)));
    const auto headers = CentralHeaders(result.output);
    ASSERT_EQ(headers.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_TRUE(headers[i].flags & zip::kFlagDataDescriptor);
        EXPECT_EQ(headers[i].crc32, test::Crc32(data));
        EXPECT_EQ(headers[i].uncompressedSize, data.size());
    }
    EXPECT_EQ(headers[0].compressedSize, test::RawDeflate(data).size());
    // The descriptors are left out: the second entry starts right after the first one's data.
    EXPECT_EQ(headers[1].localHeaderOffset, zip::kLocalHeaderSize + 12 + headers[0].compressedSize);
    test::WriteHostFile(dir / "fixed.zip", result.output);
    const auto listed = test::ListWithPython(dir / "fixed.zip");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 3u);
}

TEST(ZipFixTest, DescriptorSignatureInsideTheDataIsNotTakenForTheDescriptor) {
    // A stored archive inside the archive carries descriptor signatures of its own.
    const std::string inner =
        "xx" + std::string("PK\x07\x08", 4) + "not a descriptor of ours" + Text(100, 'q');
    ZipBuilder zip;
    zip.Add({.name = "inner.zip", .data = inner, .descriptor = true}).Add({.name = "next.txt", .data = "n"});
    const auto result = Repair(zip.Local());
    EXPECT_THAT(result.found, ElementsAre(Pair("inner.zip", true), Pair("next.txt", true)));
    ASSERT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(result.entries[0].compressedSize, inner.size());
}

TEST(ZipFixTest, ImplausibleHeadersAreRejectedAndTheScanGoesOn) {
    struct Case {
        const char* what;
        FixtureEntry bad;
        std::string loggedName;
    };
    const std::vector<Case> cases = {
        {"81-character name", {.name = std::string(81, 'n'), .data = "x"}, ""},
        {"control character", {.name = "bad\tname.txt", .data = "x"}, ""},
        {"compressed larger than uncompressed",
         {.name = "grown.txt", .data = Text(100, 'g'), .storedUncompressedSize = 50},
         "grown.txt"},
        {"deflated far beyond its size",
         {.name = "inflated.txt", .data = Noise(3000), .deflate = true, .storedUncompressedSize = 10},
         "inflated.txt"},
        {"data beyond the input",
         {.name = "long.txt", .data = "y", .storedCompressedSize = 1u << 30},
         "long.txt"},
        {"descriptor missing", {.name = "nodesc.txt", .data = "z", .descriptor = true}, "nodesc.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZipBuilder zip;
        zip.Add({.name = "first.txt", .data = "1"});
        if (c.bad.descriptor) {
            // Bit 3 set, and no descriptor anywhere after the header.
            const std::string lone = ZipBuilder().Add(c.bad).Local();
            zip.AddRaw(lone.substr(0, lone.size() - 16));
        } else {
            zip.Add(c.bad);
        }
        zip.Add({.name = "last.txt", .data = "3"});
        const auto result = Repair(zip.Local());
        EXPECT_THAT(result.found,
                    ElementsAre(Pair("first.txt", true), Pair(c.loggedName, false), Pair("last.txt", true)));
        EXPECT_EQ(result.entries.size(), 2u);
    }
}

TEST(ZipFixTest, SmallAndEncryptedEntriesAreNotMistakenForGrownOnes) {
    // An empty file deflates to 2 bytes; traditional encryption adds 12 bytes to any entry.
    ZipBuilder zip;
    zip.Add({.name = "empty.txt", .data = "", .deflate = true})
        .Add({.name = "secret.txt", .data = Text(40, 's'), .storedUncompressedSize = 28});
    const auto result = Repair(zip.Local());
    EXPECT_THAT(result.found, ElementsAre(Pair("empty.txt", true), Pair("secret.txt", false)));

    std::string encrypted =
        ZipBuilder().Add({.name = "secret.txt", .data = Text(40, 's'), .storedUncompressedSize = 28}).Local();
    encrypted[6] |= zip::kFlagEncrypted;
    EXPECT_THAT(Repair(encrypted).found, ElementsAre(Pair("secret.txt", true)));
}

TEST(ZipFixTest, CutArchiveKeepsTheEntriesBeforeTheCut) {
    ZipBuilder zip;
    zip.Add({.name = "a.txt", .data = Text(1000, 'a'), .deflate = true})
        .Add({.name = "b.txt", .data = Text(1000, 'b')})
        .Add({.name = "c.txt", .data = Text(1000, 'c')});
    const std::string cut = zip.Local().substr(0, zip.OffsetOf(2) + 500);
    const auto result = Repair(cut);
    EXPECT_THAT(result.found, ElementsAre(Pair("a.txt", true), Pair("b.txt", true), Pair("c.txt", false)));
    EXPECT_EQ(result.output.substr(0, zip.OffsetOf(2)), zip.Local().substr(0, zip.OffsetOf(2)));
}

TEST(ZipFixTest, HeaderCutInsideItsNameIsRejectedWithoutReadingPastTheEnd) {
    const std::string local = ZipBuilder().Add({.name = "some/long/name.txt", .data = "d"}).Local();
    const auto result = Repair(local.substr(0, zip::kLocalHeaderSize + 5));
    EXPECT_THAT(result.found, ElementsAre(Pair("", false)));
    EXPECT_TRUE(result.output.empty());
}

TEST(ZipFixTest, StubBeforeTheFirstHeaderIsNotCopied) {
    ZipBuilder zip;
    zip.AddRaw("MZ" + std::string(3000, '\x90')).Add({.name = "a.txt", .data = "payload"});
    const auto result = Repair(zip.Finish());
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(result.output.substr(0, 4), std::string("PK\x03\x04", 4));
    EXPECT_EQ(CentralHeaders(result.output).at(0).localHeaderOffset, 0u);
}

TEST(ZipFixTest, InputWithoutLocalHeaderGivesNoOutput) {
    for (const std::string& input : {std::string(), std::string("PK\x03\x04", 4), std::string(10000, 'P')}) {
        const auto result = Repair(input);
        EXPECT_TRUE(result.output.empty());
        EXPECT_TRUE(result.entries.empty());
    }
}

TEST(ZipFixTest, NamesWithoutUtf8FlagAreShownThroughTheOemTable) {
    const auto result = Repair(ZipBuilder().Add({.name = "caf\x82.txt", .data = "e"}).Local());
    EXPECT_THAT(result.found, ElementsAre(Pair("caf\xC3\xA9.txt", true)));
    // The archive keeps the name as it was stored.
    EXPECT_EQ(result.entries.at(0).name, "caf\x82.txt");
}

}  // namespace
}  // namespace vpk
