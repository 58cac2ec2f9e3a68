// Extracting and testing: encryption, existing files, damaged data, names that must never be written.
#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class UnzipTest : public EngineLibTest {
  protected:
    void MakeArchive(const std::string& password = {}) {
        TestTree(C("src"), {{"a.txt", std::string(5000, 'a')}, {"b/b.txt", "bee"}});
        ZipRequest add;
        add.archive = "C:\\a.zip";
        add.specs = {"C:\\src\\*.*"};
        add.recurse = true;
        add.encrypt = !password.empty();
        add.password = password;
        ASSERT_EQ(lib.Zip(add), 2);
    }
    // An archive written by python's zipfile: name → contents.
    void PythonArchive(const std::string& hostArchive,
                       const std::vector<std::pair<std::string, std::string>>& files) {
        std::string script = "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n";
        for (const auto& [name, data] : files)
            script += "z.writestr(" + PyStr(name) + "," + PyStr(data) + ")\n";
        script += "z.close()\n";
        WriteHostFile(install.Root() + "/make.py", script);
        ASSERT_EQ(RunShell("python3 " + Quote(install.Root() + "/make.py") + " " + Quote(hostArchive)), 0);
    }
    static std::string PyStr(const std::string& s) {
        std::string out = "'";
        for (char c : s) out += c == '\\' ? "\\\\" : (c == '\'' ? "\\'" : std::string(1, c));
        return out + "'";
    }
};

TEST_F(UnzipTest, EncryptedEntriesNeedTheRightPassword) {
    MakeArchive("s3cret");
    struct Case {
        const char* what;
        std::string password;
        std::vector<std::string> answers;
        std::int32_t requests;
        std::int32_t extracted;
        std::size_t asked;
    };
    const Case cases[] = {
        {"right password", "s3cret", {}, 1, 2, 0},
        {"wrong password, no request allowed", "wrong", {}, 0, 0, 0},
        {"asked after a wrong one, right on the second answer", "wrong", {"nope", "s3cret"}, 3, 2, 2},
        {"no answer: the engine allows no further request", "", {}, 2, 0, 1},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lib.passwords = c.answers;
        UnzipRequest r;
        r.password = c.password;
        r.passwordReqCount = c.requests;
        const std::string dest = "C:\\out" + std::to_string(n++);
        EXPECT_EQ(ExtractAllTo("C:\\a.zip", dest, r), c.extracted);
        EXPECT_EQ(lib.Events(kActionPassword).size(), c.asked);
        const auto tree = ReadTree(install.DriveHost('C') + "/" + dest.substr(3));
        if (c.extracted == 2) {
            EXPECT_EQ(tree.at("src/b/b.txt"), "bee");
        } else {
            EXPECT_TRUE(tree.empty()) << "nothing is written without the password";
            EXPECT_TRUE(lib.HasMessage(kLibErrPassword));
        }
    }
}

TEST_F(UnzipTest, EncryptedAddAsksForAPasswordAndRefusesWithoutOne) {
    TestTree(C("src"), {{"a.txt", "a"}});
    ZipRequest add;
    add.archive = "C:\\e.zip";
    add.specs = {"C:\\src\\a.txt"};
    add.encrypt = true;
    EXPECT_EQ(lib.Zip(add), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrPassword));
    EXPECT_FALSE(HostExists(C("e.zip")));
    ASSERT_EQ(lib.Events(kActionPassword).size(), 1u);
    EXPECT_EQ(lib.Events(kActionPassword)[0].code & 1, 1) << "asked for adding";
    lib.passwords = {"given"};
    EXPECT_EQ(lib.Zip(add), 1);
    UnzipRequest test;
    test.archive = "C:\\e.zip";
    test.test = true;
    test.password = "given";
    EXPECT_EQ(lib.Unzip(test), 1);
}

TEST_F(UnzipTest, ExistingFilesFollowOverwriteUpdateAndFreshen) {
    MakeArchive();
    TestTree(C("dest/src"), {{"a.txt", "mine"}});
    struct Case {
        const char* what;
        bool overwrite, update, freshen;
        std::function<bool(const std::string&, bool, bool)> answer;
        std::string expectA;
        bool expectB;
        bool expectSkip;
    };
    const Case cases[] = {
        {"kept without overwrite", false, false, false, nullptr, "mine", true, true},
        {"replaced when the handler says so", false, false, false, [](auto&, bool, bool) { return true; },
         std::string(5000, 'a'), true, false},
        {"freshen: a newer file on disk stays, missing files are not created", false, false, true, nullptr,
         "mine", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(C("dest"));
        TestTree(C("dest/src"), {{"a.txt", "mine"}});
        lib.onExists = c.answer;
        UnzipRequest r;
        r.overwrite = c.overwrite;
        r.update = c.update;
        r.freshen = c.freshen;
        ExtractAllTo("C:\\a.zip", "C:\\dest", r);
        EXPECT_EQ(ReadHostFile(C("dest/src/a.txt")), c.expectA);
        EXPECT_EQ(HostExists(C("dest/src/b/b.txt")), c.expectB);
        EXPECT_EQ(!lib.Events(kActionFileSkipped).empty(), c.expectSkip);
    }
}

TEST_F(UnzipTest, NamesOutsideTheExtractionFolderAreSkippedNeverWritten) {
    PythonArchive(C("evil.zip"), {{"../escape.txt", "x"},
                                  {"/absolute.txt", "x"},
                                  {"C:/drive.txt", "x"},
                                  {"a/../../up.txt", "x"},
                                  {"..\\back.txt", "x"},
                                  {"fine/ok.txt", "ok"}});
    Fs().CreateFolderChain("C:\\deep\\dest");
    EXPECT_EQ(ExtractAllTo("C:\\evil.zip", "C:\\deep\\dest"), 1);
    EXPECT_EQ(lib.Events(kActionFileSkipped).size(), 5u);
    EXPECT_EQ(ReadTree(C("deep")), (std::map<std::string, std::string>{{"dest/fine/ok.txt", "ok"}}));
    EXPECT_EQ(ReadTree(install.Root()).count("escape.txt"), 0u);
}

TEST_F(UnzipTest, DamagedDataIsReportedAndTheTargetNotReplaced) {
    TestTree(C("src"), {{"a.txt", std::string(3000, 'q')}});
    ZipRequest add;
    add.archive = "C:\\a.zip";
    add.specs = {"C:\\src\\a.txt"};
    add.level = 0;
    ASSERT_EQ(lib.Zip(add), 1);
    std::string bytes = ReadHostFile(C("a.zip"));
    bytes[30 + 9 + 100] ^= 0x55;  // one byte of the stored data
    WriteHostFile(C("a.zip"), bytes);

    UnzipRequest test;
    test.archive = "C:\\a.zip";
    test.test = true;
    EXPECT_EQ(lib.Unzip(test), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrCrc));
    ASSERT_EQ(lib.Events(kActionCrcError).size(), 1u);

    TestTree(C("dest/src"), {{"a.txt", "good copy"}});
    lib.onCrcError = [](const std::string&) { return false; };
    UnzipRequest r;
    r.overwrite = true;
    EXPECT_EQ(ExtractAllTo("C:\\a.zip", "C:\\dest", r), 0);
    EXPECT_EQ(ReadHostFile(C("dest/src/a.txt")), "good copy");
    EXPECT_EQ(ReadTree(C("dest")).size(), 1u) << "no partial file left behind";
}

TEST_F(UnzipTest, BadArchivesGiveAClearMessageAndNoCrash) {
    MakeArchive();
    const std::string good = ReadHostFile(C("a.zip"));
    const std::size_t end = good.size() - 22;
    auto patch32 = [](std::string s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
        return s;
    };
    auto patch16 = [](std::string s, std::size_t at, std::uint16_t v) {
        s[at] = static_cast<char>(v);
        s[at + 1] = static_cast<char>(v >> 8);
        return s;
    };
    const std::size_t central = zip::Get32(reinterpret_cast<const std::uint8_t*>(good.data()) + end + 16);
    const std::pair<const char*, std::string> cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"no end record", std::string(good.size(), 'x')},
        {"directory past the end", patch32(good, end + 16, 0x7FFFFFF0)},
        {"entry count lies", patch16(patch16(good, end + 8, 60000), end + 10, 60000)},
        {"huge name length", patch16(good, central + 28, 0xFFFF)},
        {"compressed size lies", patch32(good, central + 20, 0x7FFFFFF0)},
        {"local header offset lies", patch32(good, central + 42, 0x00FFFFFF)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        WriteHostFile(C("bad.zip"), bytes);
        UnzipRequest r;
        r.archive = "C:\\bad.zip";
        r.test = true;
        EXPECT_EQ(lib.Unzip(r), 0);
        EXPECT_TRUE(lib.HasMessage(kLibErrArchive));
    }
}

}  // namespace
}  // namespace vpk::test
