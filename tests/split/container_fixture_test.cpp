// Containers written by hand from the format's byte tables: the writer must produce exactly these
// bytes and the reader must restore them, so a fault shared by both sides cannot hide.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "split/backup_file.h"
#include "split_test_support.h"

namespace vpk::test {
namespace {

constexpr std::int64_t kMtime = 1'600'000'000;

class ContainerFixtureTest : public SplitTest {
  protected:
    std::int32_t Date() const { return static_cast<std::int32_t>(DosDateTimeFromUnix(kMtime)); }

    // Three files: a short one (zlib stream of stored blocks), an empty one (a segment with only its
    // mark and end), and one a full raw chunk plus a short tail.
    std::string ThreeFileContainer() const {
        const std::string noise = NoiseBytes(16384 + 3);
        return Header("T1", 5 + 0 + 16387, 3) +                                                         //
               Str("c:\\data\\a.txt") + Int32(Date()) + Mark() + StoredZlibChunk("hello") + Int32(0) +  //
               Str("c:\\data\\e.txt") + Int32(Date()) + Mark() + Int32(0) +                             //
               Str("c:\\data\\n.bin") + Int32(Date()) + Mark() + RawChunk(noise.substr(0, 16384)) +
               StoredZlibChunk(noise.substr(16384)) + Int32(0) +  //
               Int32(0);
    }
    void WriteThreeFiles() {
        Write("data/a.txt", "hello", kMtime);
        Write("data/e.txt", "", kMtime);
        Write("data/n.bin", NoiseBytes(16384 + 3), kMtime);
    }
};

TEST_F(ContainerFixtureTest, WriterProducesTheFormatByteForByte) {
    WriteThreeFiles();
    TBackupFile backup;
    backup.BackupTitle = "T1";
    backup.CompressionLevel = TCompressionLevel::clNone;
    ASSERT_TRUE(
        backup.BackupFiles({"C:\\DATA\\a.txt", "C:\\data\\e.txt", "c:\\data\\N.BIN"}, Virtual("out.001")));
    EXPECT_EQ(Read("out.001"), ThreeFileContainer());
    EXPECT_EQ(backup.FilesDone(), 3);
}

TEST_F(ContainerFixtureTest, ReaderRestoresTheHandBuiltBytes) {
    WriteHostFile(Host("in.001"), ThreeFileContainer());
    TBackupFile backup;
    ASSERT_TRUE(backup.RestoreFiles(Virtual("in.001"), Virtual("back")));
    EXPECT_EQ(Read("back/a.txt"), "hello");
    EXPECT_EQ(Read("back/e.txt"), "");
    EXPECT_EQ(Read("back/n.bin"), NoiseBytes(16384 + 3));
    EXPECT_EQ(Fs().Stat(Virtual("back\\n.bin"))->dosDateTime, static_cast<std::uint32_t>(Date()));
    EXPECT_EQ(backup.FilesDone(), 3);
    EXPECT_EQ(backup.FileCount(), 3);
}

// One chunk per piece: the bound (MaxSize - 16484) is 100 bytes, passed by the first chunk.
std::string TwoPieces(std::int32_t date, int pieceIndex) {
    const std::string noise = NoiseBytes(20000, 7);
    if (pieceIndex == 1) {
        return Header("", 20000, 1) + Str("c:\\data\\big.bin") + Int32(date) + Mark() +
               RawChunk(noise.substr(0, 16384)) + Int32(0) + NextDisk(2);
    }
    return Mark() + StoredZlibChunk(noise.substr(16384)) + Int32(0) + Int32(0);
}

TEST_F(ContainerFixtureTest, PieceChangeRecordAndContinuationSegment) {
    Write("data/big.bin", NoiseBytes(20000, 7), kMtime);
    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = 16484 + 100;
    std::vector<int> asked;
    backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool&) { asked.push_back(disk); };
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("out\\big.001")));
    EXPECT_EQ(Read("out/big.001"), TwoPieces(Date(), 1));
    EXPECT_EQ(Read("out/big.002"), TwoPieces(Date(), 2));
    EXPECT_EQ(asked, std::vector<int>{2});

    WriteHostFile(Host("in/x.001"), TwoPieces(Date(), 1));
    WriteHostFile(Host("in/x.002"), TwoPieces(Date(), 2));
    TBackupFile reader;
    reader.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(reader.RestoreFiles(Virtual("in\\x.001"), Virtual("back")));
    EXPECT_EQ(Read("back/big.bin"), NoiseBytes(20000, 7));
}

TEST_F(ContainerFixtureTest, FileIdListIsTheFirstRecord) {
    Write("data/a.txt", "hello", kMtime);
    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.SaveFileID = true;
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\a.txt"}, Virtual("out.001")));
    const std::string idText = "c:\\data\\a.txt\t" + std::to_string(Date()) + "=5\r\n";
    const std::string head = Header("", static_cast<std::int32_t>(5 + idText.size()), 1) + Str("FILE:LIST");
    const std::string tail = Mark() + StoredZlibChunk(idText) + Int32(0) + Str("c:\\data\\a.txt") +
                             Int32(Date()) + Mark() + StoredZlibChunk("hello") + Int32(0) + Int32(0);
    const std::string written = Read("out.001");
    ASSERT_EQ(written.size(), head.size() + 4 + tail.size());
    EXPECT_EQ(written.substr(0, head.size()), head);
    EXPECT_EQ(written.substr(head.size() + 4), tail);  // the 4 bytes between: the list file's own date
    EXPECT_EQ(backup.FilesDone(), 1);
}

}  // namespace
}  // namespace vpk::test
