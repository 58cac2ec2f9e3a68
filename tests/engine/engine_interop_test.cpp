// Archives written through the engine are read by Python's zipfile, bsdtar and 7zz; archives they write
// are listed, extracted and tested through the engine. Uses the real libraries of the installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(random());
    return s;
}

std::string Shell(const std::string& text) {
    return "'" + text + "'";
}

class EngineInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::HostExists(test::InstallDir() + "/libvpkzip.so")) GTEST_SKIP() << "libraries not built";
        std::string text;
        for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i) + " of a text that compresses\n";
        test::TestTree(src_, {{"docs/readme.txt", text},
                              {"docs/notes/a.txt", "note"},
                              {"img/photo.png", RandomBytes(50000, 1)},
                              {"data.bin", RandomBytes(30000, 2)},
                              {"empty.txt", ""},
                              {"Caf\xC3\xA9/\xC3\xA9t\xC3\xA9.txt", "summer"}});
        saved_ = Fs().CurrentFolder();
        engine_.SetUnattended(true);
        engine_.SetDLLDirectory(test::InstallDir());
        engine_.OnMessage = [this](TZipEngine&, int code, const std::string& text) {
            if (code != 0) errors_.push_back(text);
        };
    }
    void TearDown() override { Fs().SetCurrentFolder(saved_); }

    // Adds the whole source tree (names relative to it) to a new archive.
    std::string Build(const std::string& name, int level, AddOpts options, const std::string& password = {}) {
        const std::string archive = dir_ / name;
        EXPECT_TRUE(Fs().SetCurrentFolder(Fs().ToVirtual(src_)));
        engine_.SetZipFileName(Fs().ToVirtual(archive));
        engine_.SetAddCompLevel(level);
        engine_.SetAddOptions(options);
        engine_.SetPassword(password);
        engine_.FSpecArgs() = {"*.*"};
        engine_.AddFiles();
        return archive;
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : engine_.Entries()) names.insert(e.name);
        return names;
    }

    // Python reads every entry and compares it with the source tree.
    int PythonVerify(const std::string& archive, const std::string& password, bool dirNames,
                     const std::string& comment) {
        const std::string script =
            "import zipfile,sys,os\n"
            "z=zipfile.ZipFile(sys.argv[1]); src=sys.argv[2]; pw=sys.argv[3].encode(); "
            "dirs=sys.argv[4]=='1'\n"
            "pw and z.setpassword(pw)\n"
            "assert z.testzip() is None\n"
            "files={}\n"
            "for root,_,names in os.walk(src):\n"
            "  for n in names:\n"
            "    p=os.path.join(root,n); files[os.path.relpath(p,src) if dirs else n]=open(p,'rb').read()\n"
            "got={i.filename:z.read(i) for i in z.infolist() if not i.is_dir()}\n"
            "assert got==files, (sorted(got), sorted(files))\n"
            "assert z.comment==sys.argv[5].encode(), z.comment\n";
        test::WriteHostFile(dir_ / "verify.py", script);
        std::string output;
        const int rc = test::RunShell("python3 " + Shell(dir_ / "verify.py") + " " + Shell(archive) + " " +
                                          Shell(src_) + " " + Shell(password) + " " + (dirNames ? "1" : "0") +
                                          " " + Shell(comment) + " 2>&1",
                                      &output);
        EXPECT_EQ(rc, 0) << output;
        return rc;
    }

    test::TempDir dir_;
    const std::string src_ = dir_ / "src";
    std::string saved_;
    TZipEngine engine_;
    std::vector<std::string> errors_;
};

TEST_F(EngineInteropTest, OurArchivesAreReadByTheOtherTools) {
    using enum AddOptsEnum;
    struct Case {
        const char* name;
        int level;
        AddOpts options;
        std::string password;
        std::string comment;
    };
    const Case cases[] = {
        {"stored.zip", 0, {AddDirNames, AddRecurseDirs}, "", ""},
        {"level1.zip", 1, {AddDirNames, AddRecurseDirs}, "", "first level"},
        {"level6.zip", 6, {AddDirNames, AddRecurseDirs}, "", ""},
        {"level9.zip", 9, {AddDirNames, AddRecurseDirs}, "", ""},
        {"flat.zip", 6, {AddRecurseDirs}, "", ""},
        {"secret.zip", 6, {AddDirNames, AddRecurseDirs, AddEncrypt}, "Secret1", "locked"},
    };
    const bool haveBsdtar = test::ToolAvailable("bsdtar"), have7zz = test::ToolAvailable("7zz");
    for (const Case& c : cases) {
        errors_.clear();
        const std::string archive = Build(c.name, c.level, c.options, c.password);
        EXPECT_EQ(engine_.SuccessCount(), 6) << c.name;
        EXPECT_TRUE(errors_.empty()) << c.name << ": " << (errors_.empty() ? "" : errors_[0]);
        if (!c.comment.empty()) engine_.SetArchiveComment(c.comment);
        PythonVerify(archive, c.password, c.options.Has(AddDirNames), c.comment);
        for (const auto& e : engine_.Entries()) {
            if (e.name == "img\\photo.png") EXPECT_EQ(e.compressionMethod, 0) << c.name;  // a store suffix
            EXPECT_EQ(e.encrypted, !c.password.empty()) << c.name << " " << e.name;
        }
        std::string output;
        if (haveBsdtar) {
            const std::string pass = c.password.empty() ? "" : " --passphrase " + c.password;
            EXPECT_EQ(test::RunShell("bsdtar" + pass + " -xOf " + Shell(archive) + " > /dev/null 2>&1"), 0)
                << c.name;
        }
        if (have7zz) {
            EXPECT_EQ(
                test::RunShell("7zz t -p" + Shell(c.password) + " " + Shell(archive) + " 2>&1", &output), 0)
                << c.name << output;
            EXPECT_NE(output.find("Everything is Ok"), std::string::npos) << c.name;
        }
    }
}

TEST_F(EngineInteropTest, ArchivesOfTheOtherToolsAreListedExtractedAndTested) {
    struct Case {
        const char* tool;
        std::string command;  // writes archive.zip of src
        std::string password;
    };
    const std::string pythonWriter =
        "import zipfile,sys,os\n"
        "z=zipfile.ZipFile(sys.stdout.buffer,'w',zipfile.ZIP_DEFLATED)\n"  // not seekable: data descriptors
        "z.comment=b'from python'\n"
        "for root,_,names in os.walk('.'):\n"
        "  for n in names:\n"
        "    p=os.path.join(root,n)\n"
        "    with z.open(os.path.relpath(p,'.'),'w') as out: out.write(open(p,'rb').read())\n"
        "z.close()\n";
    test::WriteHostFile(dir_ / "write.py", pythonWriter);
    const std::string archive = dir_ / "archive.zip";
    const std::vector<Case> cases = {
        {"python3", "cd " + Shell(src_) + " && python3 " + Shell(dir_ / "write.py") + " > " + Shell(archive),
         ""},
        {"7zz", "cd " + Shell(src_) + " && 7zz a -tzip -r " + Shell(archive) + " . > /dev/null", ""},
        {"7zz",
         "cd " + Shell(src_) + " && 7zz a -tzip -mem=ZipCrypto -pSecret1 -r " + Shell(archive) +
             " . > /dev/null",
         "Secret1"},
        {"bsdtar", "cd " + Shell(src_) + " && bsdtar --format zip -cf " + Shell(archive) + " .", ""},
    };
    const std::set<std::string> files = {"docs\\readme.txt", "docs\\notes\\a.txt",
                                         "img\\photo.png",   "data.bin",
                                         "empty.txt",        "Caf\xC3\xA9\\\xC3\xA9t\xC3\xA9.txt"};
    for (const Case& c : cases) {
        if (!test::ToolAvailable(c.tool)) continue;
        fs::remove(archive);
        ASSERT_EQ(test::RunShell(c.command), 0) << c.command;
        errors_.clear();
        engine_.SetZipFileName(Fs().ToVirtual(archive));
        std::set<std::string> names;
        for (const auto& n : Names()) {
            std::string name = n[0] == '.' && n[1] == '\\' ? n.substr(2) : n;  // bsdtar stores "./x"
            if (!name.empty() && name.back() != '\\') names.insert(name);
        }
        EXPECT_EQ(names, files) << c.command;

        engine_.SetPassword(c.password);
        engine_.SetExtrOptions(ExtrOpts{ExtrOptsEnum::ExtrTest});
        engine_.ExtractFiles();
        EXPECT_GE(engine_.SuccessCount(), 6) << c.command;
        EXPECT_TRUE(errors_.empty()) << c.command << ": " << (errors_.empty() ? "" : errors_[0]);

        const std::string out = dir_ / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        engine_.SetExtrBaseDir(Fs().ToVirtual(out));
        engine_.SetExtrOptions(ExtrOpts{ExtrOptsEnum::ExtrDirNames});
        engine_.ExtractFiles();
        EXPECT_EQ(test::ReadHostFile(out + "/docs/readme.txt"),
                  test::ReadHostFile(src_ + "/docs/readme.txt"));
        EXPECT_EQ(test::ReadHostFile(out + "/img/photo.png"), test::ReadHostFile(src_ + "/img/photo.png"));
        EXPECT_EQ(test::ReadHostFile(out + "/Caf\xC3\xA9/\xC3\xA9t\xC3\xA9.txt"), "summer") << c.command;
    }
}

TEST_F(EngineInteropTest, MoreThan65535EntriesAreListed) {
    const std::string archive = dir_ / "many.zip";
    test::WriteHostFile(dir_ / "many.py",
                        "import zipfile,sys\n"
                        "z=zipfile.ZipFile(sys.argv[1],'w')\n"
                        "for i in range(65600): z.writestr('f%05d' % i, '')\n"
                        "z.close()\n");
    ASSERT_EQ(test::RunShell("python3 " + Shell(dir_ / "many.py") + " " + Shell(archive)), 0);
    engine_.SetZipFileName(archive);
    ASSERT_EQ(engine_.EntryCount(), 65600);
    EXPECT_EQ(engine_.Entries().back().name, "f65599");
    EXPECT_TRUE(engine_.Layout().zip64);
}

}  // namespace
}  // namespace vpk
