// Joining multi-disk sets: numbered piece files on a fixed drive and disks in a simulated floppy
// drive whose disks the test changes when asked. The joined archive must be a plain archive that
// other tools accept.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "engine/zip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "sfx_test_support.h"
#include "support/test_support.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

struct SpanEntry {
    std::string name, data;
    bool descriptor = false;  // sizes and CRC after the data (flag bit 3)
};

// Writes a set the way a spanning zip tool does: the span marker, the entries and the directory cut
// into pieces of at most pieceSize bytes; the end record whole on the last piece.
std::vector<std::string> BuildSpannedSet(const std::vector<SpanEntry>& entries, std::size_t pieceSize,
                                         const std::string& comment = "set comment") {
    std::vector<std::string> pieces(1);
    auto emit = [&](const std::string& bytes) {
        for (char c : bytes) {
            if (pieces.back().size() == pieceSize) pieces.emplace_back();
            pieces.back() += c;
        }
    };
    auto where = [&] {
        if (pieces.back().size() == pieceSize) pieces.emplace_back();
        return std::pair<std::uint16_t, std::uint32_t>(static_cast<std::uint16_t>(pieces.size() - 1),
                                                       static_cast<std::uint32_t>(pieces.back().size()));
    };
    auto bytes = [](const std::uint8_t* p, std::size_t n) {
        return std::string(reinterpret_cast<const char*>(p), n);
    };
    std::uint8_t marker[4];
    zip::Put32(marker, zip::kSpanMarker);
    emit(bytes(marker, 4));
    std::vector<zip::CentralHeader> central;
    for (const SpanEntry& e : entries) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        zip::LocalHeader local;
        local.method = zip::kMethodStored;
        local.versionNeeded = zip::kVersionStored;
        local.flags = e.descriptor ? zip::kFlagDataDescriptor : 0;
        local.dosDateTime = 0x5A210000;
        local.crc32 = e.descriptor ? 0 : crc;
        local.compressedSize = local.uncompressedSize =
            e.descriptor ? 0 : static_cast<std::uint32_t>(e.data.size());
        local.nameLength = static_cast<std::uint16_t>(e.name.size());
        const auto [disk, offset] = where();
        std::uint8_t h[zip::kLocalHeaderSize];
        local.Write(h);
        emit(bytes(h, sizeof h) + e.name + e.data);
        if (e.descriptor) {
            std::uint8_t d[16];
            zip::Put32(d, zip::kDataDescriptorSignature);
            zip::Put32(d + 4, crc);
            zip::Put32(d + 8, static_cast<std::uint32_t>(e.data.size()));
            zip::Put32(d + 12, static_cast<std::uint32_t>(e.data.size()));
            emit(bytes(d, sizeof d));
        }
        zip::CentralHeader c;
        c.versionMadeBy = zip::kVersionStored;
        c.versionNeeded = zip::kVersionStored;
        c.flags = local.flags;
        c.method = zip::kMethodStored;
        c.dosDateTime = local.dosDateTime;
        c.crc32 = crc;
        c.compressedSize = c.uncompressedSize = static_cast<std::uint32_t>(e.data.size());
        c.nameLength = local.nameLength;
        c.diskNumberStart = disk;
        c.localHeaderOffset = offset;
        central.push_back(c);
    }
    const auto [directoryDisk, directoryOffset] = where();
    std::size_t directorySize = 0;
    for (std::size_t i = 0; i < central.size(); ++i) {
        std::uint8_t h[zip::kCentralHeaderSize];
        central[i].Write(h);
        emit(bytes(h, sizeof h) + entries[i].name);
        directorySize += sizeof h + entries[i].name.size();
    }
    if (pieces.back().size() + zip::kEndRecordSize + comment.size() > pieceSize) pieces.emplace_back();
    zip::EndRecord end;
    end.diskNumber = static_cast<std::uint16_t>(pieces.size() - 1);
    end.directoryDisk = directoryDisk;
    end.entriesOnDisk = end.entriesTotal = static_cast<std::uint16_t>(entries.size());
    end.directorySize = static_cast<std::uint32_t>(directorySize);
    end.directoryOffset = directoryOffset;
    end.commentLength = static_cast<std::uint16_t>(comment.size());
    std::uint8_t r[zip::kEndRecordSize];
    end.Write(r);
    pieces.back() += bytes(r, sizeof r) + comment;
    return pieces;
}

const std::vector<SpanEntry> kSet = {{"first.txt", std::string(700, 'a')},
                                     {"Docs/second.txt", std::string(1500, 'b'), true},
                                     {"third.bin", std::string(400, '\x03')}};

// Disks of a simulated floppy drive: the test "inserts" one by putting its folder in place of the
// drive's root whenever the engine asks.
class DiskChanger : public Dialogs {
  public:
    DiskChanger(test::TestInstallation& install, std::vector<std::string> pieces) : install_(install) {
        root_ = install.DriveHost('A');
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            fs::remove_all(root_);
            test::WriteHostFile(root_ + "/backup.zip", pieces[i]);
            char label[16];
            std::snprintf(label, sizeof label, "PKBACK# %03zu", i + 1);
            EXPECT_TRUE(Fs().SetVolumeLabel('A', label));
            fs::rename(root_, Shelf(i + 1));
        }
        count_ = pieces.size();
    }
    void Insert(std::size_t disk) {
        if (inserted_ != 0) fs::rename(root_, Shelf(inserted_));
        fs::rename(Shelf(disk), root_);
        inserted_ = disk;
    }
    int Ask(const DialogRequest& request) override {
        asked_.push_back(request.lines.empty() ? "" : request.lines[0]);
        const std::string& line = asked_.back();
        if (line == "Please insert last disk")
            Insert(count_);
        else if (std::size_t n = 0; std::sscanf(line.c_str(), "Please insert disk volume %zu", &n) == 1)
            Insert(n);
        return cancelAfter_ != 0 && asked_.size() >= cancelAfter_ ? 2 : 1;
    }
    bool AskText(const std::string&, const std::string&, bool, std::string&) override { return false; }

    std::vector<std::string> asked_;
    std::size_t cancelAfter_ = 0;

  private:
    std::string Shelf(std::size_t disk) const { return install_.Root() + "/disk" + std::to_string(disk); }
    test::TestInstallation& install_;
    std::string root_;
    std::size_t inserted_ = 0;
    std::size_t count_ = 0;
};

class SpanReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        install_.AddDrive('A', "removable", 1457664);
        install_.Apply();
        engine_.SetHowToDelete(DeleteOpts::htdFinal);
        engine_.OnMessage = [this](TZipEngine& e, int code, const std::string& text) {
            if (code == 0 && text.rfind("Copying: ", 0) == 0)
                copied_.push_back(text.substr(9));
            else
                reported_.push_back(e.ErrorCode());
        };
    }
    void TearDown() override { Dialogs::Install(nullptr); }

    // The joined archive is the plain archive of the same entries.
    void ExpectJoined(const std::string& joined) {
        ASSERT_FALSE(joined.empty());
        EXPECT_TRUE(joined.ends_with(".zip")) << joined;
        TZipEngine reader;
        reader.SetUnattended(true);
        std::vector<int> warnings;
        reader.OnMessage = [&](TZipEngine& e, int, const std::string&) { warnings.push_back(e.ErrorCode()); };
        reader.SetZipFileName(joined);
        EXPECT_TRUE(warnings.empty());
        ASSERT_EQ(reader.EntryCount(), 3);
        EXPECT_EQ(reader.Entries()[1].name, "Docs\\second.txt");
        EXPECT_EQ(reader.ArchiveComment(), "set comment");
        EXPECT_EQ(reader.PrefixSize(), 0u);
        const auto host = Fs().ToHost(joined);
        ASSERT_TRUE(host);
        EXPECT_EQ(
            test::RunShell("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                           "assert z.testzip() is None; assert z.read('Docs/second.txt')==b'b'*1500\" " +
                           test::Quoted(*host)),
            0);
        if (test::ToolAvailable("7zz"))
            EXPECT_EQ(test::RunShell("7zz t " + test::Quoted(*host) + " >/dev/null"), 0);
        EXPECT_EQ(copied_, (std::vector<std::string>{"first.txt", "Docs\\second.txt", "third.bin"}));
    }

    test::TestInstallation install_;
    TZipEngine engine_;
    std::vector<int> reported_;
    std::vector<std::string> copied_;
};

TEST_F(SpanReaderTest, NumberedPieceFilesAreJoined) {
    // 1024: the directory on the last piece; 700: it starts on one piece and ends on the next.
    for (const std::size_t pieceSize : {1024, 700}) {
        SCOPED_TRACE(pieceSize);
        const auto pieces = BuildSpannedSet(kSet, pieceSize);
        const std::string folder = install_.DriveHost('C') + "/set" + std::to_string(pieceSize);
        for (std::size_t i = 0; i < pieces.size(); ++i)
            test::WriteHostFile(folder + "/backup00" + std::to_string(i + 1) + ".zip", pieces[i]);
        engine_.SetUnattended(true);
        engine_.SetZipFileName(Fs().ToVirtual(folder) + "\\backup00" + std::to_string(pieces.size()) +
                               ".zip");
        ASSERT_EQ(engine_.ErrorCode(), 0) << engine_.LastMessage();
        EXPECT_TRUE(engine_.Layout().IsMultiDisk());
        EXPECT_EQ(engine_.EntryCount(), 3);

        copied_.clear();
        std::string target = "C:\\";
        ASSERT_EQ(engine_.ReadSpan(engine_.ZipFileName(), target), 0) << engine_.LastMessage();
        EXPECT_TRUE(target.starts_with("C:\\zip")) << target;
        ExpectJoined(target);

        // A file name as target: the result takes ".zip" whatever the name had.
        copied_.clear();
        std::string named = "C:\\joined.tmp";
        ASSERT_EQ(engine_.ReadSpan(engine_.ZipFileName(), named), 0);
        EXPECT_EQ(named, "C:\\joined.zip");
        ExpectJoined(named);
    }
}

TEST_F(SpanReaderTest, FirstPieceIsRefusedWithTheMessageThatSaysSo) {
    const auto pieces = BuildSpannedSet(kSet, 1024);
    test::WriteHostFile(install_.DriveHost('C') + "/set/backup001.zip", pieces[0]);
    engine_.SetUnattended(true);
    engine_.SetZipFileName("C:\\set\\backup001.zip");
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kFirstFileOfSet);
    EXPECT_TRUE(engine_.ZipFileName().empty());

    std::string target = "C:\\";
    EXPECT_EQ(engine_.ReadSpan("C:\\set\\backup001.zip", target), -7);
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kFirstDiskOfSet);
    EXPECT_TRUE(target.empty());
    EXPECT_FALSE(fs::exists(install_.DriveHost('C') + "/zip"));
    for (const auto& e : fs::directory_iterator(install_.DriveHost('C')))
        EXPECT_FALSE(e.path().extension() == ".zip");

    // On a floppy labelled as disk 1 the listing asks for the last disk.
    DiskChanger disks(install_, pieces);
    disks.Insert(1);
    engine_.SetZipFileName("A:\\backup.zip");
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kFirstDiskOfSet);
}

TEST_F(SpanReaderTest, FloppySetIsReadFromTheLastDiskThenFirstToLast) {
    DiskChanger disks(install_, BuildSpannedSet(kSet, 1024));
    Dialogs::Install(&disks);
    disks.Insert(3);
    engine_.SetZipFileName("A:\\backup.zip");
    ASSERT_EQ(engine_.EntryCount(), 3) << engine_.LastMessage();

    // Disk 1 is in the drive now: the join asks for the last disk, then for every disk in turn.
    disks.Insert(1);
    disks.asked_.clear();
    std::string target = "C:\\";
    ASSERT_EQ(engine_.ReadSpan("A:\\backup.zip", target), 0) << engine_.LastMessage();
    ExpectJoined(target);
    EXPECT_EQ(disks.asked_, (std::vector<std::string>{
                                "Please insert last disk", "Please insert disk volume 1 of 3",
                                "Please insert disk volume 2 of 3", "Please insert disk volume 3 of 3"}));
}

TEST_F(SpanReaderTest, CancelledOrUnattendedDiskRequestFailsWithoutOutput) {
    DiskChanger disks(install_, BuildSpannedSet(kSet, 1024));
    Dialogs::Install(&disks);
    disks.Insert(3);
    engine_.SetZipFileName("A:\\backup.zip");
    disks.Insert(1);
    disks.cancelAfter_ = 2;
    std::string target = "C:\\";
    EXPECT_EQ(engine_.ReadSpan("A:\\backup.zip", target), -7);
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kUserCanceled);
    EXPECT_TRUE(target.empty());

    engine_.SetUnattended(true);
    disks.Insert(1);
    target = "C:\\";
    EXPECT_EQ(engine_.ReadSpan("A:\\backup.zip", target), -7);
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kUnattendedSpanning);
    for (const auto& e : fs::directory_iterator(install_.DriveHost('C')))
        EXPECT_FALSE(e.path().extension() == ".zip");
}

TEST_F(SpanReaderTest, ExtractingFromTheLastPieceJoinsIntoTempDirFirst) {
    if (!test::HostExists(test::InstallDir() + "/libvpkunz.so")) GTEST_SKIP() << "libraries not built";
    const auto pieces = BuildSpannedSet(kSet, 1024);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        test::WriteHostFile(install_.DriveHost('C') + "/set/part00" + std::to_string(i + 1) + ".zip",
                            pieces[i]);
    fs::create_directories(install_.DriveHost('C') + "/tmp");
    fs::create_directories(install_.DriveHost('C') + "/out");
    engine_.SetUnattended(true);
    engine_.SetDLLDirectory(test::InstallDir());
    engine_.SetTempDir("C:\\tmp");
    engine_.SetExtrBaseDir("C:\\out");
    engine_.SetExtrOptions({ExtrOptsEnum::ExtrDirNames});
    engine_.SetZipFileName("C:\\set\\part003.zip");
    const std::string saved = Fs().CurrentFolder();
    engine_.ExtractFiles();
    Fs().SetCurrentFolder(saved);
    EXPECT_EQ(engine_.SuccessCount(), 3) << engine_.LastMessage();
    EXPECT_EQ(test::ReadHostFile(install_.DriveHost('C') + "/out/Docs/second.txt"), std::string(1500, 'b'));
    EXPECT_TRUE(fs::is_empty(install_.DriveHost('C') + "/tmp"));
}

}  // namespace
}  // namespace vpk
