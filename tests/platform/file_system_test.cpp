#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <set>

#include "platform/file.h"
#include "platform/platform_error.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::HostExists;
using test::ReadHostFile;
using test::WriteHostFile;

class VirtualFileSystem : public ::testing::Test {
  protected:
    test::TestInstallation install;
    std::string c = install.DriveHost('C');
    FileSystem& fs = Fs();

    bool XattrsWork() {
        const std::string probe = c + "/.xattr-probe";
        WriteHostFile(probe, "");
        const bool ok = ::setxattr(probe.c_str(), "user.vpk.probe", "1", 1, 0) == 0;
        ::unlink(probe.c_str());
        return ok;
    }

    std::vector<std::string> Names(const std::string& spec, std::uint32_t mask = kAttrAnyFile) {
        FileFinder finder(spec, mask);
        std::vector<std::string> names;
        FindEntry e;
        while (finder.Next(e)) names.push_back(e.name);
        return names;
    }
};

TEST_F(VirtualFileSystem, PathsMapBothWaysThroughTheDriveTable) {
    test::TestTree(c, {{"save/Report.TXT", "r"}, {"Mes Docs/a.txt", "a"}});
    struct Case {
        std::string virtualPath, host;
    };
    const Case cases[] = {
        {"C:\\", c},
        {"C:\\SAVE\\", c + "/save"},                     // case-blind lookup
        {"c:/save/report.txt", c + "/save/Report.TXT"},  // either separator, host spelling found
        {"C:\\save\\New Folder\\X.txt", c + "/save/New Folder/X.txt"},  // missing levels keep their case
        {"C:\\save\\..\\.\\MES DOCS\\A.TXT", c + "/Mes Docs/a.txt"},
        {"Z:\\etc", "/etc"},
        {"/already/a/host/path", "/already/a/host/path"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.virtualPath);
        EXPECT_EQ(fs.ToHost(cs.virtualPath).value_or("<none>"), cs.host);
    }
    EXPECT_EQ(fs.ToVirtual(c + "/save/Report.TXT"), "C:\\save\\Report.TXT");
    EXPECT_EQ(fs.ToVirtual(c), "C:\\");
    std::string outside = "Z:" + c + "x/elsewhere";  // no drive root above it but "/"
    std::replace(outside.begin(), outside.end(), '/', '\\');
    EXPECT_EQ(fs.ToVirtual(c + "x/elsewhere"), outside);
    // Bad input: an unmapped drive, a letter that is no letter, a UNC name, a ':' inside the path.
    for (const std::string bad : {"Q:\\x", "1:\\x", "\\\\server\\share", "C:\\a:b", ""}) {
        EXPECT_FALSE(fs.ToHost(bad).has_value()) << bad;
        EXPECT_EQ(fs.FullPath(bad), "") << bad;
        EXPECT_FALSE(fs.FileExists(bad)) << bad;
        EXPECT_EQ(fs.Attributes(bad), 0xFFFFFFFFu) << bad;
    }
}

TEST_F(VirtualFileSystem, CurrentFolderCompletesRelativePaths) {
    test::TestTree(c, {{"Data/sub/f.txt", "f"}});
    install.AddDrive('D');
    EXPECT_TRUE(fs.SetCurrentFolder("c:\\data\\"));
    EXPECT_EQ(fs.CurrentFolder(), "C:\\data");
    const std::pair<std::string, std::string> cases[] = {
        {"sub\\f.txt", "C:\\data\\sub\\f.txt"},
        {"..\\x", "C:\\x"},
        {"\\top", "C:\\top"},
        {"C:rel", "C:\\data\\rel"},
        {"D:rel", "D:\\rel"},
        {"..\\..\\..", "C:\\"},
        {"sub\\", "C:\\data\\sub\\"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(fs.FullPath(in), out) << in;
    EXPECT_TRUE(fs.FileExists("sub\\F.TXT"));
    EXPECT_FALSE(fs.SetCurrentFolder("C:\\nowhere"));
    EXPECT_FALSE(fs.SetCurrentFolder("sub\\f.txt"));
    EXPECT_EQ(fs.CurrentFolder(), "C:\\data");
}

TEST_F(VirtualFileSystem, CreationKeepsTheCaseGivenAndFindsExistingLevels) {
    test::TestTree(c, {{"save/keep.txt", ""}});
    EXPECT_TRUE(fs.CreateFolderChain("C:\\SAVE\\Backups\\2024\\"));
    EXPECT_TRUE(HostExists(c + "/save/Backups/2024"));
    EXPECT_FALSE(HostExists(c + "/SAVE"));
    EXPECT_TRUE(fs.CreateFolderChain("C:\\save\\backups"));  // already there
    EXPECT_FALSE(fs.CreateFolder("C:\\no\\parent"));
    EXPECT_FALSE(fs.CreateFolderChain("Q:\\x"));
    EXPECT_TRUE(fs.CreateFolder("C:\\save\\One"));
    EXPECT_TRUE(fs.RemoveFolder("C:\\SAVE\\ONE"));
    EXPECT_FALSE(fs.RemoveFolder("C:\\save"));  // not empty
}

TEST_F(VirtualFileSystem, FinderMatchesDosWildcardsAndAttributeMasks) {
    test::TestTree(c, {{"d/Mes Docs.txt", ""},
                       {"d/TousDocs", ""},
                       {"d/MyDocs.txt", ""},
                       {"d/ab.txt", ""},
                       {"d/README", ""},
                       {"d/.hidden", ""},
                       {"d/Sub/x", ""},
                       {"d/x.tar.gz", ""}});
    struct Case {
        std::string spec;
        std::uint32_t mask;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"C:\\D\\*.*",
         kAttrAnyFile,
         {".hidden", "ab.txt", "Mes Docs.txt", "MyDocs.txt", "README", "Sub", "TousDocs", "x.tar.gz"}},
        {"C:\\D\\*.*", 0, {"ab.txt", "Mes Docs.txt", "MyDocs.txt", "README", "TousDocs", "x.tar.gz"}},
        {"C:\\D\\*",
         kAttrDirectory,
         {"ab.txt", "Mes Docs.txt", "MyDocs.txt", "README", "Sub", "TousDocs", "x.tar.gz"}},
        {"C:\\D\\*.*",
         kAttrHidden,
         {".hidden", "ab.txt", "Mes Docs.txt", "MyDocs.txt", "README", "TousDocs", "x.tar.gz"}},
        {"C:\\d\\????Docs*", 0, {"Mes Docs.txt", "TousDocs"}},
        {"C:\\d\\*.TXT", 0, {"ab.txt", "Mes Docs.txt", "MyDocs.txt"}},
        {"C:\\d\\??.txt", 0, {"ab.txt"}},
        {"C:\\d\\*.", 0, {"README", "TousDocs"}},
        {"C:\\d\\*.gz", 0, {"x.tar.gz"}},
        {"C:\\d\\readme", 0, {"README"}},
        {"C:\\d\\", 0, {}},
        {"C:\\nowhere\\*.*", 0, {}},
    };
    for (const auto& cs : cases) EXPECT_EQ(Names(cs.spec, cs.mask), cs.names) << cs.spec;
    EXPECT_FALSE(FileFinder("C:\\nowhere\\*.*").FolderFound());
    EXPECT_FALSE(FileFinder("Q:\\*.*").FolderFound());
    EXPECT_TRUE(FileFinder("C:\\d\\*.none").FolderFound());
    ASSERT_TRUE(fs.SetCurrentFolder("C:\\d"));
    EXPECT_EQ(Names("ab.*"), (std::vector<std::string>{"ab.txt"}));
}

TEST_F(VirtualFileSystem, FinderAndStatReportAttributesSizesAndTimes) {
    test::TestTree(c, {{"d/ro.txt", "12345"}, {".cfg", "x"}});
    ::chmod((c + "/d/ro.txt").c_str(), 0444);
    ASSERT_TRUE(fs.SetFileTime("C:\\d\\ro.txt", 1000000000));  // 2001-09-09, local
    FileFinder finder("C:\\d\\*.*", kAttrAnyFile);
    FindEntry e;
    ASSERT_TRUE(finder.Next(e));
    EXPECT_EQ(e.name, "ro.txt");
    EXPECT_EQ(e.size, 5u);
    EXPECT_EQ(e.mtime, 1000000000);
    EXPECT_EQ(e.dosDateTime, DosDateTimeFromUnix(1000000000));
    EXPECT_TRUE(e.attributes & kAttrReadOnly);
    EXPECT_FALSE(e.attributes & kAttrDirectory);
    EXPECT_TRUE(fs.Attributes("C:\\.CFG") & kAttrHidden);
    EXPECT_TRUE(fs.Attributes("C:\\d") & kAttrDirectory);
    EXPECT_TRUE(fs.FolderExists("C:\\D"));
    EXPECT_FALSE(fs.FileExists("C:\\D"));
    EXPECT_TRUE(fs.SetReadOnly("C:\\d\\ro.txt", false));
    EXPECT_FALSE(fs.Attributes("C:\\d\\ro.txt") & kAttrReadOnly);
}

TEST_F(VirtualFileSystem, ArchiveBitIsSetClearedAndSetAgainByAWrite) {
    if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes on this file system";
    WriteHostFile(c + "/f.txt", "one");
    EXPECT_TRUE(fs.Attributes("C:\\f.txt") & kAttrArchive);
    ASSERT_TRUE(fs.ClearArchiveBit("C:\\F.TXT"));
    EXPECT_FALSE(fs.Attributes("C:\\f.txt") & kAttrArchive);
    {
        File f("C:\\f.txt", File::Mode::Append);
        f.Write("two", 3);
    }
    EXPECT_TRUE(fs.Attributes("C:\\f.txt") & kAttrArchive);
    ASSERT_TRUE(fs.ClearArchiveBit("C:\\f.txt"));
    EXPECT_TRUE(fs.SetArchiveBit("C:\\f.txt"));
    EXPECT_TRUE(fs.Attributes("C:\\f.txt") & kAttrArchive);
    EXPECT_FALSE(fs.ClearArchiveBit("C:\\missing.txt"));
}

TEST(DosDateTime, RoundTripsAndClamps) {
    struct tm at {};
    at.tm_year = 2024 - 1900, at.tm_mon = 2, at.tm_mday = 15, at.tm_hour = 13, at.tm_min = 45, at.tm_sec = 31;
    at.tm_isdst = -1;
    const std::int64_t t = std::mktime(&at);
    const std::uint32_t dos = DosDateTimeFromUnix(t);
    EXPECT_EQ(dos >> 16, ((2024u - 1980) << 9) | (3u << 5) | 15u);
    EXPECT_EQ(dos & 0xFFFF, (13u << 11) | (45u << 5) | 15u);
    EXPECT_EQ(UnixFromDosDateTime(dos), t - 1);  // 2-second resolution
    for (std::int64_t s = 315532800 + 86400; s < 4102444800; s += 86400 * 397 + 3607) {
        const std::uint32_t d = DosDateTimeFromUnix(s);
        EXPECT_EQ(DosDateTimeFromUnix(UnixFromDosDateTime(d)), d) << s;
    }
    EXPECT_EQ(DosDateTimeFromUnix(0), 0x00210000u);  // 1970 → 1980-01-01 00:00:00
    EXPECT_EQ(DosDateTimeFromUnix(-5000000000LL), 0x00210000u);
    EXPECT_EQ(DosDateTimeFromUnix(7000000000LL) >> 25, 127u);
    EXPECT_EQ(UnixFromDosDateTime(0), UnixFromDosDateTime(0x00210000u));  // month and day 0 clamp to 1
}

// The conversion must agree with the C library's local time in zones with summer time, including
// the days the offset changes (only the skipped hour of spring has no answer to agree on).
TEST(DosDateTime, LocalTimeAgreesWithTheCLibraryAcrossOffsetChanges) {
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    for (const char* zone : {"Europe/Paris", "America/New_York", "Australia/Lord_Howe", "UTC"}) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        // Every hour of the days around both changes of 2026 and of one far year, and a spread of others.
        std::vector<std::int64_t> moments;
        for (std::int64_t day : {1774224000LL, 1792713600LL, 1775001600LL, 1791331200LL, 3786825600LL})
            for (std::int64_t s = day - 3 * 86400; s < day + 3 * 86400; s += 1800) moments.push_back(s);
        for (std::int64_t s = 315532800 + 86400; s < 4102444800; s += 86400 * 211 + 3607) moments.push_back(s);
        for (std::int64_t s : moments) {
            const std::uint32_t dos = DosDateTimeFromUnix(s);
            struct tm fields {};
            fields.tm_year = static_cast<int>(dos >> 25) + 80;
            fields.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
            fields.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
            fields.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
            fields.tm_min = static_cast<int>((dos >> 5) & 0x3F);
            fields.tm_sec = static_cast<int>(dos & 0x1F) * 2;
            fields.tm_isdst = -1;
            const std::int64_t expected = std::mktime(&fields);
            const std::int64_t got = UnixFromDosDateTime(dos);
            // The repeated hour of autumn has two answers; either names the same wall-clock time.
            EXPECT_TRUE(got == expected || DosDateTimeFromUnix(got) == dos) << zone << " " << s;
        }
    }
    if (saved)
        ::setenv("TZ", previous.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(Wildcard, DosRules) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.*", "abc", true},
        {"*.*", "a.b.c", true},
        {"*", ".x", true},
        {"*.txt", "A.TXT", true},
        {"*.txt", "a.txt.bak", false},
        {"?", "ab", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*.", "noext", true},
        {"*.", "has.ext", false},
        {"D\u00C9*", "d\u00E9j\u00E0", true},
        {"?\u00E9", "x\u00E9", true},
        {"*a*b*", "xxaYYb", true},
        {"*a*b*", "xxbYYa", false},
        {"abc", "ABC", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST_F(VirtualFileSystem, FileOperationsRenameCopyDeleteAndTempNames) {
    WriteHostFile(c + "/a.txt", "alpha");
    WriteHostFile(c + "/b.txt", "beta");
    ASSERT_TRUE(fs.SetFileTime("C:\\a.txt", 1200000000));
    EXPECT_FALSE(fs.CopyFile("C:\\A.TXT", "C:\\b.txt", true));
    EXPECT_EQ(ReadHostFile(c + "/b.txt"), "beta");
    EXPECT_TRUE(fs.CopyFile("C:\\A.TXT", "C:\\copy.txt", true));
    EXPECT_EQ(ReadHostFile(c + "/copy.txt"), "alpha");
    EXPECT_EQ(fs.Stat("C:\\copy.txt")->mtime, 1200000000);
    EXPECT_FALSE(fs.CopyFile("C:\\a.txt", "C:\\a.txt", false)) << "a copy onto itself would empty the file";
    EXPECT_EQ(ReadHostFile(c + "/a.txt"), "alpha");
    EXPECT_TRUE(fs.RenameFile("C:\\copy.txt", "C:\\B.TXT"));  // replaces, found case-blind
    EXPECT_EQ(ReadHostFile(c + "/b.txt"), "alpha");
    EXPECT_FALSE(HostExists(c + "/copy.txt"));
    ASSERT_TRUE(fs.SetReadOnly("C:\\b.txt", true));
    EXPECT_FALSE(fs.DeleteFile("C:\\b.txt"));
    EXPECT_FALSE(fs.RenameFile("C:\\a.txt", "C:\\b.txt"));
    EXPECT_FALSE(fs.CopyFile("C:\\a.txt", "C:\\b.txt", false));
    EXPECT_THROW(File("C:\\b.txt", File::Mode::Create), std::exception);
    ASSERT_TRUE(fs.SetReadOnly("C:\\b.txt", false));
    EXPECT_TRUE(fs.DeleteFile("C:\\b.txt"));
    EXPECT_FALSE(fs.DeleteFile("C:\\b.txt"));
    std::set<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const std::string name = fs.TempFileName("C:\\", "vpk");
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(name.rfind("C:\\vpk", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
        EXPECT_TRUE(fs.FileExists(name));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(fs.TempFileName("C:\\nowhere", "x"), "");
}

TEST_F(VirtualFileSystem, FilesReadWriteAndReportErrorsNamingThePath) {
    {
        File f("C:\\data.bin", File::Mode::CreateNew);
        f.Write("0123456789", 10);
        f.WriteAt("AB", 2, 4);
        f.Sync();
        EXPECT_EQ(f.Size(), 10u);
    }
    File f("c:\\DATA.BIN", File::Mode::Read);
    char buffer[16] = {};
    EXPECT_EQ(f.ReadAt(buffer, 4, 3), 4u);
    EXPECT_EQ(std::string(buffer, 4), "3AB6");
    f.Seek(8);
    EXPECT_EQ(f.Read(buffer, 16), 2u);
    EXPECT_THROW(f.ReadExact(buffer, 1), PlatformError);
    f.Close();
    EXPECT_THROW(File("C:\\data.bin", File::Mode::CreateNew), PlatformError);
    try {
        File missing("C:\\missing\\x.txt", File::Mode::Read);
        FAIL();
    } catch (const PlatformError& e) {
        EXPECT_NE(std::string(e.what()).find("C:\\missing\\x.txt"), std::string::npos) << e.what();
    }
    EXPECT_THROW(File("Q:\\x", File::Mode::Read), PlatformError);
    EXPECT_THROW(File("C:\\", File::Mode::Read), PlatformError);

    WriteFileAtomically("C:\\atomic.txt", "first");
    ::chmod((c + "/atomic.txt").c_str(), 0640);
    WriteFileAtomically("C:\\ATOMIC.TXT", "second");
    EXPECT_EQ(ReadHostFile(c + "/atomic.txt"), "second");
    struct stat st {};
    ::stat((c + "/atomic.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::string text;
    EXPECT_TRUE(ReadWholeFile("C:\\atomic.txt", text));
    EXPECT_EQ(text, "second");
    EXPECT_FALSE(ReadWholeFile("C:\\", text));

    MappedFile mapped("C:\\data.bin");
    ASSERT_EQ(mapped.Size(), 10u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped.Data()), 10), "0123AB6789");
    WriteHostFile(c + "/empty", "");
    EXPECT_EQ(MappedFile("C:\\empty").Size(), 0u);
    EXPECT_THROW(MappedFile("C:\\nothing"), PlatformError);
}

}  // namespace
}  // namespace vpk
