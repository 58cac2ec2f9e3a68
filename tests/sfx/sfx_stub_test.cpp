// The built stub at the head of real self-extracting archives: made through the engine with the real
// libraries, then run the way a script runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "engine/sfx_block.h"
#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "sfx_test_support.h"
#include "support/test_support.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;
using test::Quoted;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(random());
    return s;
}

class SfxStubTest : public ::testing::Test {
  protected:
    void SetUp() override {
        stub_ = test::BuiltStub();
        if (stub_.empty() || !test::HostExists(test::InstallDir() + "/libvpkzip.so"))
            GTEST_SKIP() << "stub or libraries not built";
        test::TestTree(src_.Path(), {{"readme.txt", std::string(3000, 'r') + "\n"},
                                     {"docs/notes.txt", "notes"},
                                     {"data.bin", RandomBytes(70000, 7)},
                                     {"empty.txt", ""},
                                     {"after.sh", "echo ran > ran.txt\n"}});
        saved_ = Fs().CurrentFolder();
        engine_.SetUnattended(true);
        engine_.SetHowToDelete(DeleteOpts::htdFinal);
        engine_.SetDLLDirectory(test::InstallDir());
        engine_.SetSFXPath(stub_);
        engine_.SetAddOptions({AddOptsEnum::AddDirNames, AddOptsEnum::AddRecurseDirs});
    }
    void TearDown() override { Fs().SetCurrentFolder(saved_); }

    // Adds the source tree to archive (a virtual or host name) through the zip library.
    void Add(const std::string& archive) {
        ASSERT_TRUE(Fs().SetCurrentFolder(src_.Path()));
        engine_.SetZipFileName(archive);
        engine_.FSpecArgs() = {"*.*"};
        engine_.AddFiles();
        ASSERT_EQ(engine_.SuccessCount(), 5) << engine_.LastMessage();
    }
    std::string MakeExe(const std::string& name) {
        Add(out_ / (name + ".zip"));
        EXPECT_EQ(engine_.MakeSelfExtracting(), 0) << engine_.LastMessage();
        return out_ / (name + ".exe");
    }
    // Every source file is there, byte for byte.
    void ExpectTree(const std::string& folder) {
        for (const auto& e : fs::recursive_directory_iterator(src_.Path())) {
            if (!e.is_regular_file()) continue;
            const std::string relative = fs::relative(e.path(), src_.Path()).string();
            ASSERT_TRUE(test::HostExists(folder + "/" + relative)) << relative;
            EXPECT_EQ(test::ReadHostFile(folder + "/" + relative), test::ReadHostFile(e.path().string()))
                << relative;
        }
    }
    bool Empty(const std::string& folder) const { return !fs::exists(folder) || fs::is_empty(folder); }

    std::string stub_, saved_;
    test::TempDir src_, out_;
    TZipEngine engine_;
};

TEST_F(SfxStubTest, ExtractsEveryFileAndRunsTheCommandLineAfterwards) {
    engine_.SetSFXCommandLine("sh ><after.sh");
    engine_.SetSFXOptions({SFXOptsEnum::SFXAutoRun, SFXOptsEnum::SFXCheckSize});
    const std::string exe = MakeExe("full");
    std::string output;
    ASSERT_EQ(test::RunProgram(exe, "--yes --dir " + Quoted(out_ / "into/new"), &output), 0) << output;
    ExpectTree(out_ / "into/new");
    EXPECT_EQ(test::ReadHostFile(out_ / "into/new/ran.txt"), "ran\n") << output;
    EXPECT_NE(output.find("Self-extracting Archive"), std::string::npos) << output;
    EXPECT_NE(output.find("5 file(s) extracted"), std::string::npos) << output;

    ASSERT_EQ(test::RunProgram(exe, "--list", &output), 0);
    EXPECT_NE(output.find("docs/notes.txt"), std::string::npos) << output;
    EXPECT_NE(output.find("5 files"), std::string::npos) << output;
}

TEST_F(SfxStubTest, EncryptedArchiveNeedsTheRightPassword) {
    engine_.SetAddOptions({AddOptsEnum::AddDirNames, AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddEncrypt});
    engine_.SetPassword("right one");
    const std::string exe = MakeExe("secret");
    std::string output;
    EXPECT_EQ(test::RunProgram(exe, "--yes --password wrong --dir " + Quoted(out_ / "bad"), &output), 1)
        << output;
    EXPECT_TRUE(Empty(out_ / "bad")) << output;
    EXPECT_NE(output.find("password"), std::string::npos) << output;
    EXPECT_EQ(test::RunProgram(exe, "--yes --dir " + Quoted(out_ / "none"), &output), 1) << output;
    EXPECT_TRUE(Empty(out_ / "none"));
    ASSERT_EQ(test::RunProgram(exe, "--yes --password 'right one' --dir " + Quoted(out_ / "good"), &output),
              0)
        << output;
    ExpectTree(out_ / "good");
}

TEST_F(SfxStubTest, ScriptedRunsRespectTheArchiveChoices) {
    engine_.SetSFXOverWriteMode(OvrOpts::OvrNever);
    engine_.SetSFXMessage("\x02Install the files?");
    engine_.SetSFXOptions({SFXOptsEnum::SFXNoSuccessMsg});
    const std::string exe = MakeExe("choices");
    std::string output;
    // No terminal and no --yes: nothing is asked, nothing extracted.
    EXPECT_EQ(test::RunProgram(exe, "--dir " + Quoted(out_ / "quiet"), &output), 2) << output;
    EXPECT_TRUE(Empty(out_ / "quiet"));
    // Never overwrite: an existing file stays; only the named entries come out.
    test::WriteHostFile(out_ / "keep/readme.txt", "mine");
    ASSERT_EQ(
        test::RunProgram(exe, "--yes --dir " + Quoted(out_ / "keep") + " readme.txt docs/notes.txt", &output),
        0)
        << output;
    EXPECT_EQ(test::ReadHostFile(out_ / "keep/readme.txt"), "mine");
    EXPECT_EQ(test::ReadHostFile(out_ / "keep/docs/notes.txt"), "notes");
    EXPECT_FALSE(test::HostExists(out_ / "keep/data.bin"));
    EXPECT_NE(output.find("Install the files?"), std::string::npos) << output;
    EXPECT_EQ(output.find("extracted to"), std::string::npos) << output;
}

TEST_F(SfxStubTest, AddingToANewExeWritesTheStubFirstAndStaysRunnable) {
    const std::string exe = out_ / "NEW.EXE";
    Add(exe);
    const std::string bytes = test::ReadHostFile(exe);
    const std::string stub = test::ReadHostFile(stub_);
    const std::size_t blockLength = SfxBlockLength(SfxSettings{.caption = engine_.SFXCaption()});
    EXPECT_EQ(bytes.substr(0, stub.size()), stub);
    EXPECT_EQ(bytes.substr(stub.size(), 3), "MPV");
    EXPECT_EQ(engine_.PrefixSize(), stub.size() + blockLength);
    EXPECT_EQ(engine_.EntryCount(), 5);
    std::string output;
    ASSERT_EQ(test::RunProgram(exe, "--yes --dir " + Quoted(out_ / "x"), &output), 0) << output;
    ExpectTree(out_ / "x");
    // 7zz looks for the archive only within the first megabytes of a program file, and the stub of a
    // sanitizer build is larger than that; python's reader starts from the end and checks it anywhere.
    if (stub.size() < 4 * 1024 * 1024 && test::ToolAvailable("7zz")) {
        EXPECT_EQ(test::RunShell("7zz t " + Quoted(exe) + " >/dev/null"), 0);
    }
    EXPECT_EQ(test::RunShell("python3 -m zipfile -t " + Quoted(exe) + " >/dev/null"), 0);
}

TEST(SfxStubAloneTest, StubWithoutArchiveSaysSo) {
    const std::string stub = test::BuiltStub();
    if (stub.empty()) GTEST_SKIP() << "stub not built";
    std::string output;
    EXPECT_EQ(test::RunProgram(stub, "--yes", &output), 1);
    EXPECT_NE(output.find("Nothing to extract"), std::string::npos) << output;
    EXPECT_EQ(test::RunProgram(stub, "--bogus", &output), 1);
    EXPECT_NE(output.find("Usage"), std::string::npos) << output;
}

}  // namespace
}  // namespace vpk
