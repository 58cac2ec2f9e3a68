// vpk split and vpk restore end to end, through the built program.
#include <gtest/gtest.h>

#include <string>

#include "split_test_support.h"
#include "support/test_support.h"

namespace vpk::test {
namespace {

std::string Vpk() {
    return InstallDir() + "/vpk";
}

TEST(SplitVerbsTest, SplitThenRestoreGivesTheFileBack) {
    TempDir dir;
    WriteHostFile(dir / "src/big.zip", NoiseBytes(100000));
    std::string out;
    ASSERT_EQ(
        RunShell(Vpk() + " split " + dir / "src/big.zip" + " " + dir / "cut" + " --size 40000 </dev/null",
                 &out),
        0)
        << out;
    EXPECT_TRUE(HostExists(dir / "cut/big.004"));
    EXPECT_FALSE(HostExists(dir / "cut/big.005"));
    ASSERT_EQ(RunShell(Vpk() + " restore " + dir / "cut/big.001" + " " + dir / "back" + " </dev/null", &out),
              0)
        << out;
    EXPECT_EQ(ReadHostFile(dir / "back/big.zip"), NoiseBytes(100000));

    // nooverwrite keeps the file now there; a missing piece fails instead of waiting for it.
    WriteHostFile(dir / "back/big.zip", "mine");
    ASSERT_EQ(
        RunShell(Vpk() + " restore " + dir / "cut/big.001" + " " + dir / "back --mode nooverwrite", &out), 0)
        << out;
    EXPECT_EQ(ReadHostFile(dir / "back/big.zip"), "mine");
    std::remove((dir / "cut/big.003").c_str());
    EXPECT_EQ(RunShell(Vpk() + " restore " + dir / "cut/big.001" + " " + dir / "again </dev/null", &out), 1);
    EXPECT_NE(out.find("piece 3"), std::string::npos) << out;
}

TEST(SplitVerbsTest, BadArgumentsAreUsageErrors) {
    TempDir dir;
    WriteHostFile(dir / "f", "x");
    const std::string f = dir / "f";
    for (const std::string& args :
         {"split " + f + " " + dir.Path(), "split " + f + " " + dir.Path() + " --size 0",
          "split " + f + " " + dir.Path() + " --size 12k",
          "restore " + f + " " + dir.Path() + " --mode sometimes", "restore " + f}) {
        EXPECT_EQ(RunShell(Vpk() + " " + args + " 2>/dev/null"), 2) << args;
    }
}

}  // namespace
}  // namespace vpk::test
