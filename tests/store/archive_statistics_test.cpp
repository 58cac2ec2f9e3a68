#include <gtest/gtest.h>

#include <string>

#include "store/archive_statistics.h"
#include "store/hms.h"
#include "support/test_support.h"

namespace vpk {
namespace {

class ArchiveStatisticsTest : public ::testing::Test {
  protected:
    // A statistics file as the program writes it, with the given streams.
    void WriteStore(std::initializer_list<std::pair<std::string, std::string>> streams,
                    bool compressed = true) {
        THms k;
        k.SetCompressed(compressed);
        k.SetEncrypted(true);
        k.SetKey(std::string(kStatisticsKey));
        for (const auto& [name, data] : streams) k.AddStream(name, data);
        k.SaveToFile(cfg_);
    }
    THms ReadStore() {
        THms k;
        k.SetKey(std::string(kStatisticsKey));
        k.LoadFromFile(cfg_);
        return k;
    }
    static std::string Stream(const THms& k, const std::string& name) {
        std::string out;
        k.ReadStream(name, out);
        return out;
    }
    test::TempDir dir_;
    std::string cfg_ = dir_ / "vortipak.cfg";
};

TEST_F(ArchiveStatisticsTest, KeyIsTwelveAnsiBytes) {
    ASSERT_EQ(kStatisticsKey.size(), 12u);
    EXPECT_EQ(static_cast<unsigned char>(kStatisticsKey[0]), 0xE9);
    EXPECT_EQ(static_cast<unsigned char>(kStatisticsKey[11]), 0xFC);
}

TEST_F(ArchiveStatisticsTest, MissingFileStartsAtZeroAndIsCreated) {
    ArchiveStatistics stats;
    EXPECT_EQ(stats.Load(cfg_), ArchiveStatistics::LoadResult::Missing);
    EXPECT_EQ(stats.FilesArchivedTotal(), 0);
    stats.AddFilesArchived(12);
    stats.Save(cfg_);
    EXPECT_EQ(test::ReadHostFile(cfg_).substr(0, 2), "&*");
    EXPECT_EQ(Stream(ReadStore(), "1"), "12\r\n");

    ArchiveStatistics again;
    EXPECT_EQ(again.Load(cfg_), ArchiveStatistics::LoadResult::Loaded);
    EXPECT_EQ(again.FilesArchivedTotal(), 12);
}

TEST_F(ArchiveStatisticsTest, OtherStreamsAndLinesAreKept) {
    WriteStore({{"1", "15\r\nsecond line\r\n"}, {"other", std::string("\0\xFFz", 3)}}, false);
    ArchiveStatistics stats;
    ASSERT_EQ(stats.Load(cfg_), ArchiveStatistics::LoadResult::Loaded);
    EXPECT_EQ(stats.FilesArchivedTotal(), 15);
    stats.AddFilesArchived(5);
    stats.Save(cfg_);
    stats.Save(cfg_);  // a second save writes the same streams again
    const THms k = ReadStore();
    EXPECT_TRUE(k.Compressed());
    EXPECT_TRUE(k.Encrypted());
    EXPECT_EQ(Stream(k, "1"), "20\r\nsecond line\r\n");
    EXPECT_EQ(Stream(k, "other"), std::string("\0\xFFz", 3));
}

TEST_F(ArchiveStatisticsTest, FirstLineThatIsNoCountReadsAsZero) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"123", 123}, {" 42 \r\nx", 42}, {"7\nnext", 7},
        {"", 0},      {"abc", 0},        {"-5", 0},
        {"12abc", 0}, {"\r\n9", 0},      {"99999999999999999999", 0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        WriteStore({{"1", text}});
        ArchiveStatistics stats;
        ASSERT_EQ(stats.Load(cfg_), ArchiveStatistics::LoadResult::Loaded);
        EXPECT_EQ(stats.FilesArchivedTotal(), expected);
    }
    WriteStore({{"2", "55"}});  // no stream "1"
    ArchiveStatistics stats;
    stats.Load(cfg_);
    EXPECT_EQ(stats.FilesArchivedTotal(), 0);
}

TEST_F(ArchiveStatisticsTest, CorruptFileIsRewrittenWhole) {
    WriteStore({{"1", "15\r\n"}, {"other", "x"}});
    std::string bytes = test::ReadHostFile(cfg_);
    bytes[bytes.size() / 2] ^= 0x5A;
    test::WriteHostFile(cfg_, bytes);

    ArchiveStatistics stats;
    EXPECT_EQ(stats.Load(cfg_), ArchiveStatistics::LoadResult::Unreadable);
    EXPECT_EQ(stats.LoadError(), "File corrupt.");
    EXPECT_EQ(stats.FilesArchivedTotal(), 0);
    stats.AddFilesArchived(3);
    stats.Save(cfg_);
    const THms k = ReadStore();
    EXPECT_EQ(k.Names(), std::vector<std::string>{"1"});
    EXPECT_EQ(Stream(k, "1"), "3\r\n");
}

}  // namespace
}  // namespace vpk
