// BackupFiles: selection, piece bounds, prompts, stops, errors and the archive bit.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "split/backup_file.h"
#include "split_test_support.h"

namespace vpk::test {
namespace {

class BackupFilesTest : public SplitTest {
  protected:
    // The names of the file records of a single-piece container, in order (walks the bytes).
    static std::vector<std::string> RecordNames(const std::string& bytes) {
        std::size_t at = 0;
        auto int32 = [&] {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i)
                v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
            at += 4;
            return static_cast<std::int32_t>(v);
        };
        const auto title = static_cast<std::size_t>(int32());
        at += title + 8;  // title, total, count
        std::vector<std::string> names;
        for (std::int32_t n = int32(); n != 0; n = int32()) {
            names.push_back(bytes.substr(at, static_cast<std::size_t>(n)));
            at += static_cast<std::size_t>(n) + 4 + 4;  // name, date, mark
            for (std::int32_t c = int32(); c != 0; c = int32())
                at += static_cast<std::size_t>(c < 0 ? -c : c);
        }
        return names;
    }
};

TEST_F(BackupFilesTest, EmptySelectionGivesHeaderAndEndMark) {
    TBackupFile backup;
    std::vector<int> percents;
    backup.OnProgress = [&](TBackupFile& b, const std::string&, TPercentage p, bool&) {
        EXPECT_TRUE(b.IsBusy());
        percents.push_back(p);
    };
    EXPECT_TRUE(backup.BackupFiles({"C:\\nothing\\*.*"}, Virtual("out.001")));
    EXPECT_EQ(Read("out.001"), Header("", 0, 0) + Int32(0));
    EXPECT_EQ(percents, (std::vector<int>{0, 100}));
    EXPECT_FALSE(backup.IsBusy());
}

TEST_F(BackupFilesTest, SelectionOrderDuplicatesAndTheContainerItself) {
    Write("data/z.txt", "z");
    Write("data/a.txt", "a");
    Write("data/sub/s.txt", "s");
    Write("data/sub/deeper/d.txt", "d");
    Write("data/.hidden/h.txt", "h");  // hidden folders are not walked
    Write("data/.dot.txt", "dot");     // hidden files are taken
    Write("data/out.001", "old piece");
    TBackupFile backup;
    ASSERT_TRUE(backup.BackupFiles({"C:\\DATA\\*.txt /s", "c:\\data\\a.txt", "c:\\data\\*.*"},
                                   Virtual("data\\out.001")));
    const auto names = RecordNames(Read("data/out.001"));
    // Sub-folders first (depth first), then the folder's own files; a.txt only once; the container
    // never. Within a folder the order is the listing's, so only the grouping is checked.
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], "c:\\data\\sub\\deeper\\d.txt");
    EXPECT_EQ(names[1], "c:\\data\\sub\\s.txt");
    std::vector<std::string> own(names.begin() + 2, names.end());
    std::sort(own.begin(), own.end());
    EXPECT_EQ(own, (std::vector<std::string>{"c:\\data\\.dot.txt", "c:\\data\\a.txt", "c:\\data\\z.txt"}));
    EXPECT_EQ(backup.FileCount(), 5);
}

TEST_F(BackupFilesTest, MaxSizeZeroIsOneUnboundedPiece) {
    Write("data/big.bin", NoiseBytes(200000));
    TBackupFile backup;
    int prompts = 0;
    backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t, bool&) { ++prompts; };
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("out.001")));
    EXPECT_EQ(prompts, 0);
    EXPECT_FALSE(Exists("out.002"));
    EXPECT_GT(Read("out.001").size(), 200000u);
}

TEST_F(BackupFilesTest, PiecesStayWithinTheirBound) {
    // 1440000-byte pieces for a 3000000-byte file: three pieces, each below the bound.
    Write("data/big.bin", NoiseBytes(3000000));
    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = 1440000;
    backup.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("cut\\big.001")));
    for (const char* piece : {"cut/big.001", "cut/big.002", "cut/big.003"}) {
        EXPECT_LE(Read(piece).size(), 1440000u) << piece;
    }
    EXPECT_FALSE(Exists("cut/big.004"));
    EXPECT_EQ(backup.PieceNumber(), 3);
}

TEST_F(BackupFilesTest, FileEndingWithAFullPieceHasNoPieceChange) {
    // Bound 100: the first file's single chunk fills piece 1, so the second file's record follows in
    // the same piece with an empty segment and then the piece change.
    const std::string first = NoiseBytes(16384, 3), second = NoiseBytes(10, 4);
    Write("data/1.bin", first);
    Write("data/2.bin", second);
    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = 16484 + 100;
    backup.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\1.bin", "C:\\data\\2.bin"}, Virtual("p.001")));
    const std::int32_t date = static_cast<std::int32_t>(Fs().Stat(Virtual("data\\1.bin"))->dosDateTime);
    EXPECT_EQ(Read("p.001"), Header("", 16394, 2) + Str("c:\\data\\1.bin") + Int32(date) + Mark() +
                                 RawChunk(first) + Int32(0) + Str("c:\\data\\2.bin") + Int32(date) + Mark() +
                                 Int32(0) + NextDisk(2));
    EXPECT_EQ(Read("p.002"), Mark() + StoredZlibChunk(second) + Int32(0) + Int32(0));
}

TEST_F(BackupFilesTest, CancellingThePiecePromptKeepsThePiecesWithoutEndMark) {
    Write("data/big.bin", NoiseBytes(60000));
    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = 16484 + 100;
    int errors = 0;
    backup.OnError = [&](TBackupFile&, std::int32_t, const std::string&) { ++errors; };
    backup.OnNeedDisk = [](TBackupFile&, std::uint16_t disk, bool& go) { go = disk < 3; };
    EXPECT_FALSE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("p.001")));
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(backup.ErrorCode(), 0);
    EXPECT_TRUE(Exists("p.001"));
    const std::string second = Read("p.002");
    EXPECT_EQ(second.substr(second.size() - 20),
              Int32(0) + NextDisk(3));  // closed by the record, nothing after
    EXPECT_FALSE(Exists("p.003"));
    EXPECT_FALSE(backup.IsBusy());
}

TEST_F(BackupFilesTest, BuiltInPromptAsksThroughTheDialogs) {
    Write("data/big.bin", NoiseBytes(40000));
    TBackupFile backup;
    backup.MaxSize = 16484 + 100;
    dialogs_.QueueAnswer(1);  // OK for piece 2
    dialogs_.QueueAnswer(2);  // Cancel for piece 3
    EXPECT_FALSE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("p.001")));
    ASSERT_EQ(dialogs_.Asked().size(), 2u);
    EXPECT_EQ(dialogs_.Asked()[0].lines.at(0), "Please insert disk 2 and click OK to continue.");
    EXPECT_EQ(dialogs_.Asked()[1].lines.at(0), "Please insert disk 3 and click OK to continue.");
    EXPECT_EQ(dialogs_.Asked()[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
}

TEST_F(BackupFilesTest, IncrementalTakesAndClearsOnlyChangedFiles) {
    Write("data/new.txt", "new");
    Write("data/old.txt", "old");
    ASSERT_TRUE(Fs().ClearArchiveBit(Virtual("data\\old.txt")));
    TBackupFile backup;
    backup.SetBackupMode(TBackupMode::bmIncremental);
    EXPECT_TRUE(backup.SetArchiveFlag);
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\*.*"}, Virtual("inc.001")));
    EXPECT_EQ(RecordNames(Read("inc.001")), std::vector<std::string>{"c:\\data\\new.txt"});
    EXPECT_EQ(Fs().Attributes(Virtual("data\\new.txt")) & kAttrArchive, 0u);
    // Nothing changed since: the next incremental run takes nothing.
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\*.*"}, Virtual("inc2.001")));
    EXPECT_TRUE(RecordNames(Read("inc2.001")).empty());
}

TEST_F(BackupFilesTest, StoppedFileKeepsItsArchiveBit) {
    Write("data/a.bin", NoiseBytes(50000));
    TBackupFile backup;
    backup.SetArchiveFlag = true;
    backup.OnProgress = [](TBackupFile& b, const std::string& name, TPercentage, bool&) {
        if (!name.empty()) b.Stop();
    };
    EXPECT_FALSE(backup.BackupFiles({"C:\\data\\a.bin"}, Virtual("s.001")));
    EXPECT_NE(Fs().Attributes(Virtual("data\\a.bin")) & kAttrArchive, 0u);
    EXPECT_EQ(backup.FilesDone(), 0);
    const std::string bytes = Read("s.001");
    EXPECT_NE(bytes.substr(bytes.size() - 8), Int32(0) + Int32(0));  // no end mark
}

TEST_F(BackupFilesTest, ProgressFollowsTheBytesWithHalvesToEven) {
    // 4 chunks of 16384 over 131072 bytes: 12.5 % steps.
    Write("data/a.bin", std::string(65536, 'a'));
    Write("data/b.bin", std::string(65536, 'b'));
    TBackupFile backup;
    std::vector<int> percents;
    backup.OnProgress = [&](TBackupFile&, const std::string&, TPercentage p, bool&) {
        percents.push_back(p);
    };
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\a.bin", "C:\\data\\b.bin"}, Virtual("p.001")));
    EXPECT_EQ(percents, (std::vector<int>{0, 12, 25, 38, 50, 62, 75, 88, 100, 100}));
}

TEST_F(BackupFilesTest, ShrinkingSourceEndsTheFile) {
    Write("data/a.bin", NoiseBytes(100000));
    TBackupFile backup;
    backup.SetArchiveFlag = true;
    bool truncated = false;
    backup.OnProgress = [&](TBackupFile&, const std::string& name, TPercentage, bool&) {
        if (!name.empty() && !truncated) {
            truncated = true;
            ASSERT_EQ(truncate(Host("data/a.bin").c_str(), 20000), 0);
        }
    };
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\a.bin"}, Virtual("p.001")));
    EXPECT_EQ(backup.BytesProcessed(), 20000u);
    // Taken again by the next incremental run: what was stored is not the file as it was sized.
    EXPECT_NE(Fs().Attributes(Virtual("data\\a.bin")) & kAttrArchive, 0u);
    TBackupFile reader;
    ASSERT_TRUE(reader.RestoreFiles(Virtual("p.001"), Virtual("back")));
    EXPECT_EQ(Read("back/a.bin"), NoiseBytes(100000).substr(0, 20000));
}

TEST_F(BackupFilesTest, RefusedLayoutsFailWithAClearError) {
    Write("data/big.bin", NoiseBytes(40000));
    struct Row {
        const char* what;
        std::int32_t maxSize;
        std::int32_t error;
        const char* lastPiece;
    } rows[] = {
        // No piece could ever take a chunk: one piece, then the error (not 999 empty pieces).
        {"too small", 1000, kBackupErrorPieceTooSmall, "t.001"},
        {"negative", -5, kBackupErrorPieceTooSmall, "t.001"},
    };
    for (const auto& row : rows) {
        TBackupFile backup;
        backup.MaxSize = row.maxSize;
        std::vector<std::pair<std::int32_t, std::string>> errors;
        backup.OnError = [&](TBackupFile&, std::int32_t e, const std::string& text) {
            errors.emplace_back(e, text);
        };
        EXPECT_FALSE(backup.BackupFiles({"C:\\data\\big.bin"}, Virtual("t.001"))) << row.what;
        ASSERT_EQ(errors.size(), 1u) << row.what;
        EXPECT_EQ(errors[0].first, row.error) << row.what;
        EXPECT_EQ(errors[0].second, BackupErrorMessage(row.error)) << row.what;
        EXPECT_TRUE(Exists(row.lastPiece)) << row.what;
        EXPECT_FALSE(Exists("t.002")) << row.what;
    }
}

TEST_F(BackupFilesTest, NeverWrapsPastPiece999) {
    // One chunk per piece into a stream (the pieces one after the other): piece 1000 is refused.
    Write("data/big.bin", std::string(16384 * 1000, 'x'));
    std::stringstream stream;
    TBackupFile backup;
    backup.BackupStream = &stream;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = 16484 + 100;
    std::int32_t error = 0;
    backup.OnError = [&](TBackupFile&, std::int32_t e, const std::string&) { error = e; };
    EXPECT_FALSE(backup.BackupFiles({"C:\\data\\big.bin"}, ":STREAM"));
    EXPECT_EQ(error, kBackupErrorTooManyPieces);
    EXPECT_EQ(backup.PieceNumber(), 999);
    EXPECT_EQ(stream.str().find("NEXT:DISK000"), std::string::npos);
}

TEST_F(BackupFilesTest, SourceErrorsAreReportedOnceAndStopTheRun) {
    Write("data/a.txt", "a");
    Write("data/locked.txt", "secret");
    Write("data/z.txt", "z");
    ASSERT_EQ(chmod(Host("data/locked.txt").c_str(), 0), 0);
    if (access(Host("data/locked.txt").c_str(), R_OK) == 0) GTEST_SKIP() << "running with privileges";
    TBackupFile backup;
    EXPECT_FALSE(
        backup.BackupFiles({"C:\\data\\a.txt", "C:\\data\\locked.txt", "C:\\data\\z.txt"}, Virtual("e.001")));
    EXPECT_EQ(backup.ErrorCode(), kBackupErrorReadFile);
    // Without OnError the message box says it, through the dialogs.
    ASSERT_EQ(dialogs_.Asked().size(), 1u);
    EXPECT_EQ(dialogs_.Asked()[0].lines.at(0), "Cannot read file");
    EXPECT_EQ(backup.FilesDone(), 1);
    EXPECT_FALSE(backup.IsBusy());
}

TEST_F(BackupFilesTest, UnwritablePieceIsError4) {
    Write("data/a.txt", "a");
    TBackupFile backup;
    EXPECT_FALSE(backup.BackupFiles({"C:\\data\\a.txt"}, Virtual("data\\a.txt\\x.001")));
    EXPECT_EQ(backup.ErrorCode(), kBackupErrorWriteArchive);
    // Without OnError the message box says it once, through the dialogs.
    ASSERT_EQ(dialogs_.Asked().size(), 1u);
    EXPECT_EQ(dialogs_.Asked()[0].lines.at(0), "Cannot write to archive");
    EXPECT_EQ(dialogs_.Asked()[0].buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(backup.IsBusy());
}

TEST_F(BackupFilesTest, BusyComponentRefusesASecondRun) {
    Write("data/a.txt", "a");
    TBackupFile backup;
    bool nested = true;
    backup.OnProgress = [&](TBackupFile& b, const std::string&, TPercentage p, bool&) {
        if (p == 0) nested = b.BackupFiles({"C:\\data\\a.txt"}, Virtual("nested.001"));
    };
    ASSERT_TRUE(backup.BackupFiles({"C:\\data\\a.txt"}, Virtual("outer.001")));
    EXPECT_FALSE(nested);
    EXPECT_FALSE(Exists("nested.001"));
}

TEST_F(BackupFilesTest, HandlerExceptionStillClearsBusy) {
    Write("data/a.txt", "a");
    TBackupFile backup;
    backup.OnProgress = [](TBackupFile&, const std::string& name, TPercentage, bool&) {
        if (!name.empty()) throw std::runtime_error("window gone");
    };
    EXPECT_THROW(backup.BackupFiles({"C:\\data\\a.txt"}, Virtual("x.001")), std::runtime_error);
    EXPECT_FALSE(backup.IsBusy());
}

}  // namespace
}  // namespace vpk::test
