// vpk queries and vpk setting, through the built program.
#include <gmock/gmock.h>

#include <string>

#include "support/test_support.h"

namespace vpk::test {
namespace {

using ::testing::HasSubstr;

std::string Vpk() {
    return InstallDir() + "/vpk";
}

TEST(ModelVerbsTest, SettingReadsDefaultsAndWritesCheckedValues) {
    TempDir dir;
    const std::string ini = " --ini " + dir / "vortipak.ini";
    std::string out;
    ASSERT_EQ(RunShell(Vpk() + " setting general timeoutsec" + ini, &out), 0) << out;
    EXPECT_EQ(out, "20\n");
    EXPECT_FALSE(HostExists(dir / "vortipak.ini"));

    WriteHostFile(dir / "vortipak.ini", "[general]\r\nlang=English\r\n");
    ASSERT_EQ(RunShell(Vpk() + " setting GENERAL timeoutsec 45" + ini, &out), 0) << out;
    ASSERT_EQ(RunShell(Vpk() + " setting admini o 0" + ini, &out), 0) << out;
    EXPECT_EQ(ReadHostFile(dir / "vortipak.ini"),
              "[general]\r\nlang=English\r\ntimeoutsec=45\r\n[admini]\r\no=0\r\n");
    ASSERT_EQ(RunShell(Vpk() + " setting general timeoutsec" + ini, &out), 0) << out;
    EXPECT_EQ(out, "45\n");

    for (const std::string bad :
         {"general wav yes", "general timeoutsec 12a", "general nosuch 1", "1 data C:\\x", "general"}) {
        EXPECT_EQ(RunShell(Vpk() + " setting " + bad + ini), 2) << bad;
    }
    EXPECT_EQ(ReadHostFile(dir / "vortipak.ini"),
              "[general]\r\nlang=English\r\ntimeoutsec=45\r\n[admini]\r\no=0\r\n");
}

TEST(ModelVerbsTest, QueriesListsBothForms) {
    TempDir dir;
    WriteHostFile(dir / "vortipak.ini",
                  "[2]\ndata=C:\\DATA\\\narch=Compta\ndest=a:\\\n[3]\ndata=\narch=Gone\n"
                  "[5]\ndata=C:\\MAIL\\\nfilter=*.mbx\narch=Mail\n[RunService]\n5=1111111 12:00 5\n");
    WriteHostFile(dir / "Vpk/sub/Photos.vpk",
                  "[divers]\narch=Photos\ndest=E:\\\n[add]\n1=C:\\PICS\\*.*<>11\n");
    std::string out;
    ASSERT_EQ(RunShell(Vpk() + " queries --ini " + dir / "vortipak.ini", &out), 0) << out;
    EXPECT_THAT(out, HasSubstr("2\tCompta\tC:\\DATA\\*.* -> A:\\\n"));
    EXPECT_THAT(out, HasSubstr("5\tMail\tC:\\MAIL\\*.mbx -> C:\\\tscheduled\n"));
    EXPECT_THAT(out, HasSubstr("Photos.vpk\tPhotos\t1 entry -> E:\\\n"));
    EXPECT_THAT(out, ::testing::Not(HasSubstr("Gone")));
    EXPECT_EQ(RunShell(Vpk() + " queries --bad"), 2);
}

}  // namespace
}  // namespace vpk::test
