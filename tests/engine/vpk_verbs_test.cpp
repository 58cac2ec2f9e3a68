// The archive verbs of the built vpk program, end to end on real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

class VpkVerbsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vpk_ = test::InstallDir() + "/vpk";
        if (!test::HostExists(vpk_) || !test::HostExists(test::InstallDir() + "/libvpkzip.so"))
            GTEST_SKIP() << "vpk or the libraries not built";
        test::TestTree(dir_ / "data",
                       {{"a.txt", "alpha"}, {"sub/b.txt", std::string(5000, 'b')}, {"c.log", "log"}});
    }
    // Runs vpk in the test folder; returns the exit status.
    int Vpk(const std::string& arguments, std::string* output = nullptr) {
        std::string ignored;
        return test::RunShell("cd '" + dir_.Path() + "' && '" + vpk_ + "' " + arguments + " < /dev/null 2>&1",
                              output ? output : &ignored);
    }

    test::TempDir dir_;
    std::string vpk_;
};

TEST_F(VpkVerbsTest, AddListTestExtractDeleteAndComment) {
    std::string out;
    ASSERT_EQ(Vpk("add t.zip data -r -x '*.log'", &out), 0) << out;
    ASSERT_EQ(Vpk("list t.zip", &out), 0) << out;
    EXPECT_NE(out.find("data\\a.txt"), std::string::npos) << out;
    EXPECT_NE(out.find("data\\sub\\b.txt"), std::string::npos) << out;
    EXPECT_EQ(out.find("c.log"), std::string::npos) << out;
    EXPECT_NE(out.find("2 entries"), std::string::npos) << out;

    ASSERT_EQ(Vpk("test t.zip", &out), 0) << out;
    ASSERT_EQ(Vpk("extract t.zip -d out", &out), 0) << out;
    EXPECT_EQ(test::ReadHostFile(dir_ / "out/data/sub/b.txt"), std::string(5000, 'b'));

    test::WriteHostFile(dir_ / "out/data/a.txt", "changed");
    EXPECT_EQ(Vpk("extract t.zip -d out", &out), 0) << out;  // no terminal: existing files are kept
    EXPECT_EQ(test::ReadHostFile(dir_ / "out/data/a.txt"), "changed");
    EXPECT_EQ(Vpk("extract t.zip -d out -o data/a.txt", &out), 0) << out;
    EXPECT_EQ(test::ReadHostFile(dir_ / "out/data/a.txt"), "alpha");

    ASSERT_EQ(Vpk("comment t.zip 'nightly backup'", &out), 0) << out;
    ASSERT_EQ(Vpk("comment t.zip", &out), 0);
    EXPECT_EQ(out, "nightly backup\n");
    ASSERT_EQ(Vpk("delete t.zip data/a.txt", &out), 0) << out;
    ASSERT_EQ(Vpk("list t.zip", &out), 0);
    EXPECT_EQ(out.find("data\\a.txt"), std::string::npos) << out;
    EXPECT_NE(out.find("Comment: nightly backup"), std::string::npos) << out;
    EXPECT_EQ(Vpk("delete t.zip nothing.here", &out), 1) << out;
}

TEST_F(VpkVerbsTest, PasswordsJunkedPathsAndLevels) {
    std::string out;
    ASSERT_EQ(Vpk("add s.zip data/sub/b.txt data/a.txt -j -l 9 -P Secret1", &out), 0) << out;
    ASSERT_EQ(Vpk("list s.zip", &out), 0);
    EXPECT_NE(out.find("  b.txt  (encrypted)"), std::string::npos) << out;
    EXPECT_EQ(Vpk("test s.zip -P Secret1", &out), 0) << out;
    EXPECT_EQ(Vpk("test s.zip -P wrong", &out), 1) << out;
    EXPECT_EQ(Vpk("test s.zip", &out), 1) << out;  // no terminal to ask on
    EXPECT_EQ(Vpk("extract s.zip -d plain -P Secret1", &out), 0) << out;
    EXPECT_EQ(test::ReadHostFile(dir_ / "plain/a.txt"), "alpha");
}

TEST_F(VpkVerbsTest, ExitStatusTellsFailuresAndUsageApart) {
    test::WriteHostFile(dir_ / "not.zip", std::string(100, 'x'));
    struct Case {
        const char* arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"list", 2, "one archive expected"},
        {"list a.zip b.zip", 2, "one archive expected"},
        {"add t.zip", 2, "at least one path"},
        {"add t.zip data -l 12", 2, "the level is a digit"},
        {"add t.zip data -q", 2, "unknown option -q"},
        {"extract t.zip -d", 2, "needs a value"},
        {"list missing.zip", 1, "no such archive"},
        {"test missing.zip", 1, "no such archive"},
        {"list not.zip", 1, "This archive is not a valid Zip archive"},
        {"add not.zip data", 1, "This archive is not a valid Zip archive"},
        {"add t.zip nothing-here", 1, "nothing-here: no such file or folder"},
        {"add t.zip nothing-here data/a.txt", 1, "1 file added"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Vpk(c.arguments, &out), c.status) << c.arguments << "\n" << out;
        EXPECT_NE(out.find(c.says), std::string::npos) << c.arguments << "\n" << out;
    }
    EXPECT_EQ(test::ReadHostFile(dir_ / "not.zip"), std::string(100, 'x'));
}

}  // namespace
}  // namespace vpk
