// Archives we write are verified by python's zipfile, bsdtar and 7zz; archives they write are listed,
// extracted and tested by us.
#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class InteropTest : public EngineLibTest {
protected:
    void SetUp() override {
        TestTree(C("src"), {{"plain.txt", std::string(40000, 'p') + "end"},
                            {"pic.png", std::string(3000, 'i')},
                            {"sub/deep/note.txt", "a note"},
                            {"empty.txt", ""},
                            {"caf\xC3\xA9.txt", "oem name"},          // fits code page 437
                            {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "utf8 name"}});  // needs UTF-8
    }
    std::string Host(const std::string& virtualPath) { return *Fs().ToHost(virtualPath); }
    static bool Need(const char* tool) { return ToolAvailable(tool); }
};

TEST_F(InteropTest, OurArchivesPassThePeerTools) {
    struct Case {
        const char* what;
        int level;
        bool encrypt, dirNames;
        std::optional<std::string> comment;
    };
    const Case cases[] = {
        {"stored", 0, false, true, std::nullopt},
        {"level 1 with a comment", 1, false, true, std::string("backup of the day")},
        {"level 6 without folder names", 6, false, false, std::nullopt},
        {"level 9 encrypted", 9, true, true, std::nullopt},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZipRequest add;
        add.archive = "C:\\peer" + std::to_string(n++) + ".zip";
        add.specs = {"C:\\src\\*.*"};
        add.recurse = true;
        add.level = c.level;
        add.storeSuffixes = ".png";
        add.encrypt = c.encrypt;
        add.password = c.encrypt ? "pw" : "";
        add.dirNames = c.dirNames;
        add.comment = c.comment;
        ASSERT_EQ(lib.Zip(add), 6);
        const std::string archive = Host(add.archive);
        std::string out;
        if (Need("python3")) {
            const std::string script =
                "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1])\nz.setpassword(b'pw')\n"
                "bad=z.testzip()\nassert bad is None, bad\nnames=sorted(z.namelist())\n"
                "print(len(names), z.comment.decode())\nprint('\\n'.join(names))\n";
            WriteHostFile(install.Root() + "/check.py", script);
            EXPECT_EQ(RunShell("python3 " + Quote(install.Root() + "/check.py") + " " + Quote(archive), &out), 0) << out;
            EXPECT_NE(out.find("6 " + c.comment.value_or("")), std::string::npos) << out;
            EXPECT_NE(out.find("\xE6\x97\xA5\xE6\x9C\xAC.txt"), std::string::npos) << "UTF-8 name: " << out;
            EXPECT_NE(out.find("caf\xC3\xA9.txt"), std::string::npos) << "OEM name: " << out;
        }
        if (Need("bsdtar") && !c.encrypt) {
            EXPECT_EQ(RunShell("bsdtar -tf " + Quote(archive), &out), 0) << out;
            EXPECT_EQ(RunShell("bsdtar -xOf " + Quote(archive) + " > /dev/null", &out), 0) << out;
        }
        if (Need("7zz")) {
            EXPECT_EQ(RunShell("7zz t -ppw " + Quote(archive), &out), 0) << out;
            EXPECT_NE(out.find("Everything is Ok"), std::string::npos) << out;
        }
    }
}

TEST_F(InteropTest, ArchivesOfThePeerToolsExtractAndTest) {
    if (!Need("7zz") || !Need("python3")) GTEST_SKIP() << "peer tools missing";
    const std::string src = C("src");
    struct Case {
        const char* what;
        std::string command;  // %A: archive host path
        std::string password;
        std::int32_t entries;  // 7zz stores the two folders as entries too
    };
    const Case cases[] = {
        {"7zz deflate", "cd " + Quote(src) + " && 7zz a -tzip -mx5 %A . > /dev/null", "", 8},
        {"7zz ZipCrypto", "cd " + Quote(src) + " && 7zz a -tzip -mem=ZipCrypto -psecret %A . > /dev/null", "secret", 8},
        // Written to a pipe, python's zipfile cannot seek back: every entry gets a data descriptor.
        {"python, data descriptors and UTF-8 names",
         "cd " + Quote(src) +
             " && python3 -c \"import zipfile,sys,os\n"
             "z=zipfile.ZipFile(sys.stdout.buffer,'w',zipfile.ZIP_DEFLATED)\n"
             "[z.write(os.path.join(r,f)) for r,d,fs in os.walk('.') for f in fs]\nz.close()\" | cat > %A",
         "", 6},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "their" + std::to_string(n++) + ".zip";
        std::string command = c.command;
        command.replace(command.find("%A"), 2, Quote(C(name)));
        std::string out;
        ASSERT_EQ(RunShell(command, &out), 0) << out;
        UnzipRequest test;
        test.archive = "C:\\" + name;
        test.test = true;
        test.password = c.password;
        EXPECT_EQ(lib.Unzip(test), c.entries);
        UnzipRequest r;
        r.password = c.password;
        const std::string dest = "C:\\x" + std::to_string(n);
        EXPECT_EQ(ExtractAllTo("C:\\" + name, dest, r), c.entries);
        EXPECT_EQ(ReadTree(install.DriveHost('C') + "/" + dest.substr(3)), ReadTree(src));
    }
}

}  // namespace
}  // namespace vpk::test
