// RestoreFiles: targets, overwrite rules, pieces, events, and containers that are damaged or hostile.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_system.h"
#include "split/backup_file.h"
#include "split_test_support.h"

namespace vpk::test {
namespace {

constexpr std::int64_t kStoredTime = 1'600'000'000;

class RestoreFilesTest : public SplitTest {
  protected:
    std::int32_t StoredDate() const { return static_cast<std::int32_t>(DosDateTimeFromUnix(kStoredTime)); }
    // A container with one file of `contents` stored under `storedName`, hand-built.
    std::string OneFile(const std::string& storedName, const std::string& contents) const {
        return Header("", static_cast<std::int32_t>(contents.size()), 1) + Str(storedName) +
               Int32(StoredDate()) + Mark() + (contents.empty() ? "" : RawChunk(contents)) + Int32(0) +
               Int32(0);
    }
    static void Quiet(TBackupFile& backup) {
        backup.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
        backup.OnError = [](TBackupFile&, std::int32_t, const std::string&) {};
    }
};

TEST_F(RestoreFilesTest, TargetsFollowTheDestinationRules) {
    WriteHostFile(Host("in.001"), OneFile("c:\\data\\a.txt", "A"));
    struct Row {
        const char* dest;
        bool fullPath;
        const char* target;
    } rows[] = {
        {"C:\\out", false, "out/a.txt"},
        {"C:\\out2\\", true, "out2/data/a.txt"},
        {"", false, "data/a.txt"},
    };
    for (const auto& row : rows) {
        TBackupFile backup;
        backup.RestoreFullPath = row.fullPath;
        ASSERT_TRUE(backup.RestoreFiles(Virtual("in.001"), row.dest)) << row.dest;
        EXPECT_EQ(Read(row.target), "A") << row.target;
    }
}

TEST_F(RestoreFilesTest, OverwriteModesDecideByTargetDate) {
    WriteHostFile(Host("in.001"), OneFile("c:\\x\\f.txt", "stored"));
    struct Row {
        TRestoreMode mode;
        const char* existing;  // nullptr: no target
        std::int64_t existingTime;
        const char* after;  // nullptr: still missing
    } rows[] = {
        {TRestoreMode::rmAll, "mine", kStoredTime + 3600, "stored"},
        {TRestoreMode::rmNoOverwrite, "mine", kStoredTime - 3600, "mine"},
        {TRestoreMode::rmNoOverwrite, nullptr, 0, "stored"},
        {TRestoreMode::rmNewer, "mine", kStoredTime - 3600, "stored"},
        {TRestoreMode::rmNewer, "mine", kStoredTime + 3600, "mine"},
        {TRestoreMode::rmExisting, nullptr, 0, nullptr},
        {TRestoreMode::rmExisting, "mine", kStoredTime + 3600, "stored"},
        {TRestoreMode::rmExistingNewer, "mine", kStoredTime, "mine"},
        {TRestoreMode::rmExistingNewer, "mine", kStoredTime - 3600, "stored"},
    };
    int i = 0;
    for (const auto& row : rows) {
        const std::string dest = "d" + std::to_string(i++);
        if (row.existing) Write(dest + "/f.txt", row.existing, row.existingTime);
        TBackupFile backup;
        backup.RestoreMode = row.mode;
        std::vector<int> percents;
        backup.OnProgress = [&](TBackupFile&, const std::string&, TPercentage p, bool&) {
            percents.push_back(p);
        };
        ASSERT_TRUE(backup.RestoreFiles(Virtual("in.001"), Virtual(dest))) << i;
        if (row.after) {
            EXPECT_EQ(Read(dest + "/f.txt"), row.after) << i;
        } else {
            EXPECT_FALSE(Exists(dest + "/f.txt")) << i;
        }
        // Skipped data is read over without progress calls.
        if (row.after && std::string(row.after) != "stored") {
            EXPECT_EQ(percents, std::vector<int>{100}) << i;
        }
    }
}

TEST_F(RestoreFilesTest, EventsComeInOrderAndMayRedirect) {
    WriteHostFile(Host("in.001"), OneFile("c:\\data\\a.txt", "A"));
    TBackupFile backup;
    std::vector<std::string> events;
    backup.OnRestoreFile = [&](TBackupFile&, std::string& name, std::int32_t date, bool& doRestore) {
        events.push_back("restore " + name);
        EXPECT_EQ(date, StoredDate());
        EXPECT_TRUE(doRestore);
        name = Virtual("elsewhere\\b.txt");
    };
    backup.OnProgress = [&](TBackupFile&, const std::string& name, TPercentage p, bool&) {
        events.push_back("progress " + name + " " + std::to_string(p));
    };
    backup.OnFileRestored = [&](TBackupFile&, std::string& name, File& stream) {
        events.push_back("restored " + name);
        stream.Write("!", 1);  // the stream is the open target
    };
    ASSERT_TRUE(backup.RestoreFiles(Virtual("in.001"), Virtual("out")));
    EXPECT_EQ(events, (std::vector<std::string>{"restore C:\\out\\a.txt", "progress C:\\elsewhere\\b.txt 100",
                                                "progress C:\\elsewhere\\b.txt 100",
                                                "restored C:\\elsewhere\\b.txt", "progress  100"}));
    EXPECT_EQ(Read("elsewhere/b.txt"), "A!");
    EXPECT_FALSE(Exists("out/a.txt"));
}

TEST_F(RestoreFilesTest, FileSpanningThreePiecesIsAppendedAndDated) {
    Write("data/big.bin", NoiseBytes(40000, 9), kStoredTime);
    TBackupFile writer;
    writer.CompressionLevel = TCompressionLevel::clNone;
    writer.MaxSize = 16484 + 100;
    writer.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(writer.BackupFiles({"C:\\data\\big.bin"}, Virtual("p\\big.001")));
    ASSERT_TRUE(Exists("p/big.003"));

    TBackupFile reader;
    std::vector<int> disks;
    std::vector<std::uint64_t> sizesAtRestored;
    reader.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool&) { disks.push_back(disk); };
    reader.OnFileRestored = [&](TBackupFile&, std::string&, File& stream) {
        sizesAtRestored.push_back(stream.Size());
    };
    ASSERT_TRUE(reader.RestoreFiles(Virtual("p\\big.001"), Virtual("out")));
    // One prompt per piece change even though every piece is already in the folder.
    EXPECT_EQ(disks, (std::vector<int>{2, 3}));
    EXPECT_EQ(sizesAtRestored, (std::vector<std::uint64_t>{16384, 32768, 40000}));
    EXPECT_EQ(Read("out/big.bin"), NoiseBytes(40000, 9));
    EXPECT_EQ(Fs().Stat(Virtual("out\\big.bin"))->dosDateTime, static_cast<std::uint32_t>(StoredDate()));
    EXPECT_EQ(reader.FilesDone(), 1);
}

TEST_F(RestoreFilesTest, CancelledPiecePromptKeepsWhatWasWritten) {
    Write("data/big.bin", NoiseBytes(40000, 9), kStoredTime);
    TBackupFile writer;
    writer.CompressionLevel = TCompressionLevel::clNone;
    writer.MaxSize = 16484 + 100;
    writer.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(writer.BackupFiles({"C:\\data\\big.bin"}, Virtual("p\\big.001")));

    TBackupFile reader;
    dialogs_.QueueAnswer(2);  // the built-in prompt for piece 2: Cancel
    EXPECT_FALSE(reader.RestoreFiles(Virtual("p\\big.001"), Virtual("out")));
    ASSERT_EQ(dialogs_.Asked().size(), 1u);  // the prompt; no error box
    EXPECT_EQ(dialogs_.Asked()[0].lines.at(0), "Please insert disk 2 and click OK to continue.");
    EXPECT_EQ(Read("out/big.bin"), NoiseBytes(40000, 9).substr(0, 16384));
    EXPECT_EQ(Fs().Stat(Virtual("out\\big.bin"))->dosDateTime, static_cast<std::uint32_t>(StoredDate()));
    EXPECT_FALSE(reader.IsBusy());
}

TEST_F(RestoreFilesTest, MissingPieceOnAFixedDiskFailsInsteadOfAskingForever) {
    Write("data/big.bin", NoiseBytes(40000, 9), kStoredTime);
    TBackupFile writer;
    writer.CompressionLevel = TCompressionLevel::clNone;
    writer.MaxSize = 16484 + 100;
    writer.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool&) {};
    ASSERT_TRUE(writer.BackupFiles({"C:\\data\\big.bin"}, Virtual("p\\big.001")));
    ASSERT_EQ(std::remove(Host("p/big.003").c_str()), 0);

    TBackupFile reader;
    int asked = 0;
    reader.OnNeedDisk = [&](TBackupFile&, std::uint16_t, bool&) { ++asked; };  // always "go on"
    try {
        reader.RestoreFiles(Virtual("p\\big.001"), Virtual("out"));
        ADD_FAILURE() << "no exception";
    } catch (const EBackupFile& e) {
        EXPECT_EQ(e.Code(), kBackupErrorReadArchive);
        EXPECT_NE(std::string(e.what()).find("big.003"), std::string::npos) << e.what();
    }
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(reader.IsBusy());
    EXPECT_EQ(Read("out/big.bin"), NoiseBytes(40000, 9).substr(0, 32768));
}

TEST_F(RestoreFilesTest, ContainersWrittenAtEveryLevelReadBackByteForByte) {
    // Sizes around the chunk size; clNone mixes raw full chunks and zlib tails.
    const std::vector<std::size_t> sizes = {0, 1, 16373, 16374, 16384, 16385, 50000};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        Write("src/f" + std::to_string(i) + ".bin",
              NoiseBytes(sizes[i], static_cast<std::uint32_t>(i)) + std::string(sizes[i] / 2, 'r'));
    }
    for (auto level : {TCompressionLevel::clNone, TCompressionLevel::clFastest, TCompressionLevel::clDefault,
                       TCompressionLevel::clMax}) {
        const std::string name = "c" + std::to_string(static_cast<int>(level));
        TBackupFile writer;
        writer.CompressionLevel = level;
        ASSERT_TRUE(writer.BackupFiles({"C:\\src\\*.*"}, Virtual(name + ".001")));
        TBackupFile reader;
        ASSERT_TRUE(reader.RestoreFiles(Virtual(name + ".001"), Virtual(name)));
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const std::string file = "/f" + std::to_string(i) + ".bin";
            EXPECT_EQ(Read(name + file), Read("src" + file)) << name << file;
        }
    }
}

TEST_F(RestoreFilesTest, EmptyContainerGivesTrueAndOneFinalProgress) {
    WriteHostFile(Host("e.001"), Header("title is dropped", 0, 0) + Int32(0));
    TBackupFile backup;
    std::vector<int> percents;
    backup.OnProgress = [&](TBackupFile&, const std::string& name, TPercentage p, bool&) {
        EXPECT_EQ(name, "");
        percents.push_back(p);
    };
    EXPECT_TRUE(backup.RestoreFiles(Virtual("e.001"), Virtual("out")));
    EXPECT_EQ(percents, std::vector<int>{100});
}

TEST_F(RestoreFilesTest, FileIdListIsNeverWritten) {
    WriteHostFile(Host("l.001"), Header("", 7, 1) + Str("FILE:LIST") + Int32(0) + Mark() +
                                     RawChunk("x\t1=1\r\n") + Int32(0) + Str("c:\\a.txt") +
                                     Int32(StoredDate()) + Mark() + RawChunk("a") + Int32(0) + Int32(0));
    TBackupFile backup;
    int asked = 0;
    backup.OnRestoreFile = [&](TBackupFile&, std::string&, std::int32_t, bool& doRestore) {
        ++asked;
        doRestore = true;
    };
    ASSERT_TRUE(backup.RestoreFiles(Virtual("l.001"), Virtual("out")));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(Exists("out/FILE:LIST"));
    EXPECT_FALSE(Exists("out/LIST"));
    EXPECT_EQ(Read("out/a.txt"), "a");
}

TEST_F(RestoreFilesTest, MissingFirstPieceIsFalseSilently) {
    TBackupFile backup;
    int events = 0;
    backup.OnProgress = [&](TBackupFile&, const std::string&, TPercentage, bool&) { ++events; };
    EXPECT_FALSE(backup.RestoreFiles(Virtual("none.001"), Virtual("out")));
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(dialogs_.Asked().empty());
}

TEST_F(RestoreFilesTest, DamagedContainersFailCleanly) {
    const std::string good = OneFile("c:\\a.txt", "abc");
    std::string badMark = good;
    badMark[good.find("EC2")] = 'X';
    const std::string afterMark = Header("", 3, 1) + Str("c:\\a.txt") + Int32(StoredDate()) + Mark();
    struct Row {
        const char* what;
        std::string bytes;
        bool raises;        // EBackupFile reaches the caller
        std::int32_t code;  // the exception's code, or the reported error
        bool skipTheFile;   // the file is read over (rmExisting on a missing target)
    } rows[] = {
        {"short header", std::string("\x02\x00\x00", 3), true, kBackupErrorReadArchive, false},
        {"title beyond the end", Int32(1 << 30) + "ab", true, kBackupErrorReadArchive, false},
        {"bad mark while restoring", badMark, false, kBackupErrorReadFile, false},
        {"bad mark while skipping", badMark, true, kBackupErrorInvalidArchive, true},
        {"chunk too long", afterMark + Int32(16385) + std::string(16385, 'x') + Int32(0) + Int32(0), false,
         kBackupErrorReadFile, false},
        {"chunk too long, skipping",
         afterMark + Int32(-16385) + std::string(16385, 'x') + Int32(0) + Int32(0), true,
         kBackupErrorInvalidArchive, true},
        {"lowest length", afterMark + Int32(INT32_MIN) + Int32(0) + Int32(0), false, kBackupErrorReadFile,
         false},
        {"truncated chunk", afterMark + Int32(-100) + "abc", false, kBackupErrorReadFile, false},
        {"no end mark", good.substr(0, good.size() - 4), true, kBackupErrorInvalidArchive, false},
        {"damaged zlib", afterMark + Int32(5) + "\x78\x01zzz" + Int32(0) + Int32(0), false,
         kBackupErrorCompression, false},
        {"huge name", Header("", 0, 1) + Int32(0x7FFFFFF0), true, kBackupErrorInvalidArchive, false},
        {"negative name", Header("", 0, 1) + Int32(-4), true, kBackupErrorInvalidArchive, false},
        {"piece digits", Header("", 0, 1) + Str("NEXT:DISK/..") + Mark() + Int32(0) + Int32(0), true,
         kBackupErrorInvalidArchive, false},
        {"short piece record", Header("", 0, 1) + Str("NEXT:DISK2") + Int32(0), true,
         kBackupErrorInvalidArchive, false},
    };
    int i = 0;
    for (const auto& row : rows) {
        const std::string container = "bad" + std::to_string(i) + ".001";
        const std::string dest = Virtual("out" + std::to_string(i++));
        WriteHostFile(Host(container), row.bytes);
        TBackupFile backup;
        if (row.skipTheFile) backup.RestoreMode = TRestoreMode::rmExisting;
        std::vector<std::int32_t> reported;
        backup.OnError = [&](TBackupFile&, std::int32_t e, const std::string&) { reported.push_back(e); };
        if (row.raises) {
            try {
                backup.RestoreFiles(Virtual(container), dest);
                ADD_FAILURE() << row.what << ": no exception";
            } catch (const EBackupFile& e) {
                EXPECT_EQ(e.Code(), row.code) << row.what << ": " << e.what();
            }
            EXPECT_TRUE(reported.empty()) << row.what;
        } else {
            EXPECT_FALSE(backup.RestoreFiles(Virtual(container), dest)) << row.what;
            EXPECT_EQ(reported, std::vector<std::int32_t>{row.code}) << row.what;
        }
        EXPECT_FALSE(backup.IsBusy()) << row.what;
    }
}

TEST_F(RestoreFilesTest, HostileNamesStayInsideTheDestination) {
    WriteHostFile(Host("h.001"), OneFile("c:\\..\\..\\escaped.txt", "x"));
    for (bool fullPath : {false, true}) {
        TBackupFile backup;
        backup.RestoreFullPath = fullPath;
        ASSERT_TRUE(backup.RestoreFiles(Virtual("h.001"), Virtual("box\\inner")));
        EXPECT_EQ(Read("box/inner/escaped.txt"), "x");
    }
    EXPECT_FALSE(Exists("escaped.txt"));
    EXPECT_FALSE(Exists("box/escaped.txt"));
    EXPECT_FALSE(HostExists(installation_.Root() + "/escaped.txt"));
}

TEST_F(RestoreFilesTest, StreamHoldsThePiecesOneAfterTheOther) {
    Write("data/big.bin", NoiseBytes(40000, 5), kStoredTime);
    std::stringstream stream;
    TBackupFile writer;
    writer.BackupStream = &stream;
    writer.MaxSize = 16484 + 100;
    int prompts = 0;
    writer.OnNeedDisk = [&](TBackupFile&, std::uint16_t, bool&) { ++prompts; };
    ASSERT_TRUE(writer.BackupFiles({"C:\\data\\big.bin"}, ":STREAM"));
    EXPECT_NE(stream.str().find("NEXT:DISK003"), std::string::npos);

    TBackupFile reader;
    reader.RestoreStream = &stream;
    reader.OnNeedDisk = [&](TBackupFile&, std::uint16_t, bool&) { ++prompts; };
    ASSERT_TRUE(reader.RestoreFiles(":STREAM", Virtual("out")));
    EXPECT_EQ(prompts, 0);  // no medium to change
    EXPECT_EQ(Read("out/big.bin"), NoiseBytes(40000, 5));
}

TEST_F(RestoreFilesTest, UnwritableTargetIsError1AndStops) {
    WriteHostFile(Host("u.001"), OneFile("c:\\a.txt", "abc"));
    Write("out/a.txt/keep", "a folder where the file should go");
    TBackupFile backup;
    std::vector<std::int32_t> reported;
    backup.OnError = [&](TBackupFile&, std::int32_t e, const std::string&) { reported.push_back(e); };
    EXPECT_FALSE(backup.RestoreFiles(Virtual("u.001"), Virtual("out")));
    EXPECT_EQ(reported, std::vector<std::int32_t>{kBackupErrorReadFile});
    EXPECT_EQ(Read("out/a.txt/keep"), "a folder where the file should go");
}

}  // namespace
}  // namespace vpk::test
