#include "engine/span_disks.h"

#include <gtest/gtest.h>

#include "engine/zip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace vpk {
namespace {

TEST(SpanDisksTest, PieceNamesReplaceTheThreeCharactersBeforeTheExtension) {
    struct Case {
        const char* name;
        std::uint32_t disk;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Save\\backup003.zip", 0, "C:\\Save\\backup001.zip"},
        {"C:\\Save\\backup003.zip", 11, "C:\\Save\\backup012.zip"},
        {"C:\\Save\\ab.zip", 1, "C:\\Save\\002.zip"},
        {"C:\\Save.d\\set999", 0, "C:\\Save.d\\set001"},
        {"/tmp/x/part002.ZIP", 0, "/tmp/x/part001.ZIP"},
    };
    for (const Case& c : cases) EXPECT_EQ(SpanPieceName(c.name, c.disk), c.expected) << c.name;
}

// A two-piece set on a fixed drive: entries and directory in piece 1, the end record in piece 2.
TEST(SpanDisksTest, ListingTheLastPieceReadsTheDirectoryFromTheFirst) {
    test::TempDir dir;
    const std::string whole =
        test::BuildTestArchive({{.name = "a.txt", .data = "alpha"}, {.name = "b.txt", .data = "beta"}});
    const std::size_t endRecord = whole.size() - zip::kEndRecordSize;
    std::string last = whole.substr(endRecord);
    test::Patch16(last, 4, 1);  // this is disk 1, the directory starts on disk 0
    test::WriteHostFile(dir / "set001.zip", whole.substr(0, endRecord));
    test::WriteHostFile(dir / "set002.zip", last);

    TZipEngine engine;
    engine.SetUnattended(true);
    std::vector<int> reported;
    engine.OnMessage = [&](TZipEngine& e, int, const std::string&) { reported.push_back(e.ErrorCode()); };
    engine.SetZipFileName(dir / "set002.zip");
    ASSERT_EQ(engine.EntryCount(), 2) << engine.LastMessage();
    EXPECT_EQ(engine.Entries()[1].name, "b.txt");
    EXPECT_TRUE(engine.Layout().IsMultiDisk());
    EXPECT_EQ(engine.Layout().currentDisk, 0u);
    EXPECT_TRUE(reported.empty());

    test::WriteHostFile(dir / "set001.zip", "");
    std::remove((dir / "set001.zip").c_str());
    engine.SetZipFileName(dir / "set002.zip");
    EXPECT_EQ(engine.ZipFileName(), "");
    EXPECT_EQ(reported, std::vector<int>{zipmsg::kInputMissing});
}

}  // namespace
}  // namespace vpk
