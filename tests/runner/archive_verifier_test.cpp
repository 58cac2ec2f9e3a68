#include "runner/archive_verifier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "tests/support/test_support.h"

namespace vpk::test {
namespace {

TEST(ArchiveVerifierTest, OnlyAWholeArchivePasses) {
    if (!HostExists(InstallDir() + "/libvpkzip.so")) GTEST_SKIP() << "zip libraries not built";
    TempDir dir;
    TestTree(dir / "src", {{"a.txt", std::string(20000, 'a')}, {"b.txt", "bee"}});
    const std::string archive = dir / "x.zip";
    TZipEngine engine;
    engine.SetUnattended(true);
    engine.SetDLLDirectory(InstallDir());
    const std::string saved = Fs().CurrentFolder();
    ASSERT_TRUE(Fs().SetCurrentFolder(dir / "src"));
    engine.SetZipFileName(archive);
    engine.FSpecArgs() = {"*.*"};
    engine.AddFiles();
    Fs().SetCurrentFolder(saved);
    ASSERT_EQ(engine.EntryCount(), 2);
    const std::string bytes = ReadHostFile(archive);

    EXPECT_TRUE(VerifyArchive(archive, InstallDir(), "", 2).ok);
    EXPECT_FALSE(VerifyArchive(archive, InstallDir(), "", 3).ok);  // an entry went missing
    EXPECT_FALSE(VerifyArchive(dir / "none.zip", InstallDir(), "", 0).ok);

    std::string flipped = bytes;
    flipped[40] = static_cast<char>(flipped[40] ^ 0x55);  // inside the first entry's data
    WriteHostFile(archive, flipped);
    const VerifyResult damaged = VerifyArchive(archive, InstallDir(), "", 2);
    EXPECT_FALSE(damaged.ok);
    EXPECT_FALSE(damaged.problem.empty());

    WriteHostFile(archive, bytes.substr(0, bytes.size() / 2));
    EXPECT_FALSE(VerifyArchive(archive, InstallDir(), "", 2).ok);
}

}  // namespace
}  // namespace vpk::test
