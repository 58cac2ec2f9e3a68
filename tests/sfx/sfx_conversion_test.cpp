// MakeSelfExtracting and MakePlainArchive on small archives and stand-in stubs: layout of the .exe,
// the way back, the icon stamp and the checks that refuse a conversion without losing the archive.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/sfx_block.h"
#include "engine/sfx_icon_image.h"
#include "engine/zip_engine.h"
#include "engine/zip_messages.h"
#include "platform/file_system.h"
#include "sfx_test_support.h"
#include "stub_images.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

const std::vector<test::TestEntry> kEntries = {{.name = "a.txt", .data = "alpha"},
                                               {.name = "sub/b.txt", .data = "beta beta", .comment = "note"}};

class SfxConversionTest : public ::testing::Test {
  public:
    void SetUp() override {
        engine_.SetUnattended(true);
        engine_.SetHowToDelete(DeleteOpts::htdFinal);
        engine_.OnMessage = [this](TZipEngine& e, int, const std::string&) {
            reported_.push_back(e.ErrorCode());
        };
        UseStub(test::ElfStub());
    }
    void UseStub(const test::StubImage& stub) {
        stub_ = stub;
        test::WriteHostFile(dir_ / "stub.bin", stub.bytes);
        engine_.SetSFXPath(dir_ / "stub.bin");
    }
    std::string WriteZip(const std::string& name, const std::string& bytes) {
        test::WriteHostFile(dir_ / name, bytes);
        engine_.SetZipFileName(dir_ / name);
        return dir_ / name;
    }
    bool Has(int message) const {
        return std::find(reported_.begin(), reported_.end(), message) != reported_.end();
    }
    std::vector<std::string> Folder() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    TZipEngine engine_;
    test::StubImage stub_;
    std::vector<int> reported_;
    std::string last_;
};

TEST_F(SfxConversionTest, ZipBecomesExeWithMovedOffsetsAndComesBackIdentical) {
    const std::string original = test::BuildTestArchive(kEntries, {.comment = "archive comment"});
    WriteZip("Backup.ZIP", original);
    engine_.SetSFXCaption("My backup");
    engine_.SetSFXDefaultDir("><restore");
    engine_.SetSFXCommandLine("><setup.sh");
    engine_.SetSFXMessage("\x02Extract now?");
    engine_.SetSFXOptions({SFXOptsEnum::SFXAutoRun, SFXOptsEnum::SFXAskFiles});
    engine_.SetSFXOverWriteMode(OvrOpts::OvrNever);
    SfxSettings written;
    written.caption = engine_.SFXCaption();
    written.defaultDir = engine_.SFXDefaultDir();
    written.commandLine = engine_.SFXCommandLine();
    written.message = engine_.SFXMessage();
    written.options = engine_.SFXOptions();
    written.overwrite = engine_.SFXOverWriteMode();
    const std::size_t blockLength = SfxBlockLength(written);

    ASSERT_EQ(engine_.MakeSelfExtracting(), 0);
    EXPECT_EQ(engine_.ZipFileName(), Fs().ToVirtual(dir_ / "Backup.exe"));
    EXPECT_EQ(Folder(), (std::vector<std::string>{"Backup.exe", "stub.bin"}));
    EXPECT_FALSE(Has(zipmsg::kStructureWarning));
    EXPECT_EQ(engine_.PrefixSize(), stub_.bytes.size() + blockLength);
    EXPECT_EQ(engine_.EntryCount(), 2);
    EXPECT_EQ(engine_.ArchiveComment(), "archive comment");
    const std::string exe = test::ReadHostFile(dir_ / "Backup.exe");
    EXPECT_EQ(exe.size(), stub_.bytes.size() + blockLength + original.size());
    EXPECT_EQ(exe.substr(0, stub_.bytes.size()), stub_.bytes);
    EXPECT_EQ(exe.substr(stub_.bytes.size(), blockLength), BuildSfxBlock(written));
    EXPECT_TRUE((fs::status(dir_ / "Backup.exe").permissions() & fs::perms::owner_exec) != fs::perms::none);
    EXPECT_EQ(test::RunShell("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                             "assert z.testzip() is None; assert z.read('sub/b.txt')==b'beta beta'\" " +
                             test::Quoted(dir_ / "Backup.exe")),
              0);

    // Another engine reads the properties back from the file.
    TZipEngine back;
    back.SetUnattended(true);
    back.SetHowToDelete(DeleteOpts::htdFinal);
    back.SetZipFileName(dir_ / "Backup.exe");
    ASSERT_EQ(back.MakePlainArchive(), 0);
    EXPECT_EQ(back.ZipFileName(), Fs().ToVirtual(dir_ / "Backup.zip"));
    EXPECT_EQ(test::ReadHostFile(dir_ / "Backup.zip"), original);
    EXPECT_FALSE(test::HostExists(dir_ / "Backup.exe"));
    EXPECT_EQ(back.SFXCaption(), written.caption);
    EXPECT_EQ(back.SFXDefaultDir(), written.defaultDir);
    EXPECT_EQ(back.SFXCommandLine(), written.commandLine);
    EXPECT_EQ(back.SFXMessage(), written.message);
    EXPECT_EQ(back.SFXOptions(), written.options);
    EXPECT_EQ(back.SFXOverWriteMode(), written.overwrite);
    const auto image = DefaultIconImage();
    EXPECT_EQ(back.SFXIcon(), IconFileOfImage(std::string(image.begin(), image.end())));
    EXPECT_EQ(back.PrefixSize(), 0u);
}

TEST_F(SfxConversionTest, Zip64ArchiveAndStubPrefixedArchiveConvertBothWays) {
    struct Row {
        const char* what;
        std::string archive;
        int entries;
    } rows[] = {
        {"zip64",
         test::BuildTestArchive({{.name = "big.txt", .data = "sixty-four", .zip64 = true}},
                                {.comment = "c", .zip64EndRecord = true}),
         1},
        {"prefixed, offsets not moved", test::BuildTestArchive(kEntries, {.prefix = std::string(300, 'S')}),
         2},
    };
    const std::size_t blockLength = SfxBlockLength(SfxSettings{.caption = engine_.SFXCaption()});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        reported_.clear();
        WriteZip("x.zip", row.archive);
        const std::uint64_t prefixBefore = engine_.PrefixSize();
        ASSERT_EQ(engine_.MakeSelfExtracting(), 0);
        EXPECT_FALSE(Has(zipmsg::kStructureWarning) && prefixBefore == 0);
        EXPECT_EQ(engine_.PrefixSize(), prefixBefore + stub_.bytes.size() + blockLength);
        ASSERT_EQ(engine_.EntryCount(), row.entries);
        ASSERT_EQ(engine_.MakePlainArchive(), 0);
        const std::string back = test::ReadHostFile(dir_ / "x.zip");
        if (prefixBefore == 0) {
            EXPECT_EQ(back, row.archive);
        } else {
            // Everything before the first entry counts as prefix and is left with the stub.
            EXPECT_EQ(back, row.archive.substr(prefixBefore));
        }
        fs::remove(dir_ / "x.zip");
    }
}

TEST_F(SfxConversionTest, RefusedConversionsLeaveTheArchiveAndNoExe) {
    struct Row {
        const char* what;
        std::string zipName;
        std::function<void(TZipEngine&, SfxConversionTest&)> setUp;
        int result;
        int message;  // 0: none expected
    } rows[] = {
        {"caption too long", "a.zip", [](TZipEngine& e, auto&) { e.SetSFXCaption(std::string(256, 'c')); },
         -9, zipmsg::kSfxTextTooLong},
        {"icon of the wrong size", "a.zip", [](TZipEngine& e, auto&) { e.SetSFXIcon(std::string(700, 'i')); },
         -12, 0},
        {"icon of 766 bytes that is not one", "a.zip",
         [](TZipEngine& e, auto&) { e.SetSFXIcon(std::string(766, '\0')); }, -12, 0},
        {"stub without icon place", "a.zip",
         [](TZipEngine& e, SfxConversionTest& t) {
             t.UseStub(test::ElfStub(false));
             e.SetSFXIcon(test::SixteenColourIcon(3));
         },
         -10, 0},
        {"stub that is no program", "a.zip",
         [](TZipEngine& e, SfxConversionTest& t) {
             t.UseStub({std::string(5000, 'x'), 0});
             e.SetSFXIcon(test::SixteenColourIcon(3));
         },
         -10, 0},
        {"no stub anywhere", "a.zip", [](TZipEngine& e, auto&) { e.SetSFXPath("/nonexistent/stub.bin"); }, -9,
         zipmsg::kSfxStubNotFound},
        {"not a .zip name", "a.arc", [](TZipEngine&, auto&) {}, -9, zipmsg::kSfxNotZip},
    };
    const std::string archive = test::BuildTestArchive(kEntries);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TZipEngine fresh;
        fresh.SetUnattended(true);
        fresh.SetHowToDelete(DeleteOpts::htdFinal);
        fresh.OnMessage = [this](TZipEngine& e, int, const std::string& text) {
            reported_.push_back(e.ErrorCode());
            last_ = text;
        };
        reported_.clear();
        UseStub(test::ElfStub());
        fresh.SetSFXPath(dir_ / "stub.bin");
        row.setUp(fresh, *this);
        test::WriteHostFile(dir_ / row.zipName, archive);
        fresh.SetZipFileName(dir_ / row.zipName);
        EXPECT_EQ(fresh.MakeSelfExtracting(), row.result);
        if (row.message != 0) EXPECT_TRUE(Has(row.message));
        EXPECT_EQ(test::ReadHostFile(dir_ / row.zipName), archive);
        EXPECT_EQ(Folder(), (std::vector<std::string>{row.zipName, "stub.bin"}));
        EXPECT_EQ(fresh.ZipFileName(), dir_ / row.zipName);
        fs::remove(dir_ / row.zipName);
    }
}

TEST_F(SfxConversionTest, TooLongTextsReportTheBlockLengthPlusOne) {
    WriteZip("a.zip", test::BuildTestArchive(kEntries));
    std::string text;
    engine_.OnMessage = [&](TZipEngine&, int, const std::string& t) { text = t; };
    engine_.SetSFXCaption(std::string(256, 'c'));
    engine_.SetSFXDefaultDir("");
    EXPECT_EQ(engine_.MakeSelfExtracting(), -9);
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kSfxTextTooLong);
    // 12 + 256 = 268, a multiple of 4.
    EXPECT_TRUE(text.ends_with("\r\nSFXCaption + SFXDefaultDir + SFXCommandLine + SFXMessage = 269")) << text;
}

TEST_F(SfxConversionTest, IconIsStampedIntoElfAndPeStubsAndReadBack) {
    for (const test::StubImage& stub : {test::ElfStub(), test::PeStub()}) {
        UseStub(stub);
        WriteZip("i.zip", test::BuildTestArchive(kEntries));
        const std::string icon = test::SixteenColourIcon(9);
        engine_.SetSFXIcon(icon);
        ASSERT_EQ(engine_.MakeSelfExtracting(), 0);
        const std::string exe = test::ReadHostFile(dir_ / "i.exe");
        EXPECT_EQ(exe.substr(stub.iconAt, kIconImageSize), icon.substr(kIconFileHeaderSize));
        // Only the image changed.
        std::string unstamped = exe.substr(0, stub.bytes.size());
        unstamped.replace(stub.iconAt, kIconImageSize, stub.bytes.substr(stub.iconAt, kIconImageSize));
        EXPECT_EQ(unstamped, stub.bytes);
        engine_.SetSFXIcon({});
        ASSERT_EQ(engine_.MakePlainArchive(), 0);
        EXPECT_EQ(engine_.SFXIcon(), icon);
        fs::remove(dir_ / "i.zip");
    }
}

TEST_F(SfxConversionTest, PlainConversionChecksItsInput) {
    struct Row {
        const char* what;
        std::string name;
        std::string bytes;
        int result;
        int message;
    } rows[] = {
        {"missing", "", "", -3, zipmsg::kPlainNoExe},
        {"not an .exe", "p.zip", test::BuildTestArchive(kEntries), -3, zipmsg::kPlainNotExe},
        {"an .exe without prefix", "p.exe", test::BuildTestArchive(kEntries), -9, zipmsg::kPlainSfxType},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        reported_.clear();
        if (!row.name.empty())
            WriteZip(row.name, row.bytes);
        else
            engine_.SetZipFileName(dir_ / "missing.exe");
        EXPECT_EQ(engine_.MakePlainArchive(), row.result);
        EXPECT_TRUE(Has(row.message));
        if (!row.name.empty()) EXPECT_EQ(test::ReadHostFile(dir_ / row.name), row.bytes);
        EXPECT_FALSE(test::HostExists(dir_ / "p.zip") && row.name != "p.zip");
        if (!row.name.empty()) fs::remove(dir_ / row.name);
    }
}

TEST_F(SfxConversionTest, ExistingExeIsReplacedOnlyByACompleteConversion) {
    test::WriteHostFile(dir_ / "old.exe", "previous self-extractor");
    WriteZip("old.zip", test::BuildTestArchive(kEntries));
    engine_.SetSFXIcon(std::string(10, 'x'));
    EXPECT_EQ(engine_.MakeSelfExtracting(), -12);
    EXPECT_EQ(test::ReadHostFile(dir_ / "old.exe"), "previous self-extractor");
    engine_.SetSFXIcon({});
    EXPECT_EQ(engine_.MakeSelfExtracting(), 0);
    EXPECT_EQ(Folder(), (std::vector<std::string>{"old.exe", "stub.bin"}));
    EXPECT_EQ(engine_.EntryCount(), 2);
}

}  // namespace
}  // namespace vpk
