#include "model/archive_names.h"

#include <cstdlib>
#include <optional>

#include "model_fixture.h"

namespace vpk {
namespace {

using test::ModelTest;
using test::TestTree;

// Sets the locale variables for one test and puts the previous ones back.
class LocaleEnvironment {
  public:
    LocaleEnvironment(const char* all, const char* messages, const char* lang) {
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~LocaleEnvironment() {
        for (auto& [name, value] : saved_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

  private:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(IsFrenchUserTest, FollowsTheMessagesLocale) {
    struct Case {
        const char *all, *messages, *lang;
        bool french;
    } cases[] = {
        {nullptr, nullptr, "fr_FR.UTF-8", true},
        {nullptr, nullptr, "fr_CA", true},
        {nullptr, nullptr, "en_GB.UTF-8", false},
        {nullptr, "fr_BE.UTF-8", "en_US.UTF-8", true},
        {"de_DE.UTF-8", "fr_FR.UTF-8", "fr_FR.UTF-8", false},
        {nullptr, nullptr, nullptr, false},
        {nullptr, nullptr, "f", false},
    };
    for (const auto& c : cases) {
        LocaleEnvironment env(c.all, c.messages, c.lang);
        EXPECT_EQ(IsFrenchUser(), c.french) << (c.lang ? c.lang : "(none)");
    }
}

class ArchiveNamesTest : public ModelTest {};

TEST_F(ArchiveNamesTest, DatePrefixFromTheClock) {
    // The fixture's clock stands on 3 July.
    EXPECT_EQ(DatePrefix(true, true), "0307");
    EXPECT_EQ(DatePrefix(false, true), "0703");
    EXPECT_EQ(DatePrefix(true, false), "");
}

TEST_F(ArchiveNamesTest, ArchiveFileNameSteps) {
    TestTree(OnC("Mes Documents/Compta"), {{"a.txt", "x"}});
    struct Case {
        const char* name;
        bool sfx, withExt;
        const char* expected;
    } cases[] = {
        {"C:", false, true, "Dsk_C.zip"},
        {"d:\\", true, true, "Dsk_D.exe"},
        {"\\word", true, true, "word.exe"},
        {"setup.exe", true, true, "setup.exe"},
        {"SETUP.EXE", true, true, "SETUP.EXE"},
        {"backup.ZIP", false, true, "backup.ZIP"},
        {"backup", false, false, "backup"},
        // An existing folder gives its last folder name as the file system spells it.
        {"C:\\MES DOCUMENTS\\compta\\", false, true, "Compta.zip"},
        {"C:\\DATA\\Missing\\Sub\\", false, true, "Sub.zip"},
        // A query file: its name without ".vpk" and without the leading '!'.
        {"C:\\VPK\\Vpk\\!Compta.vpk", false, true, "Compta.zip"},
        {"Travaux.VPK", true, true, "Travaux.exe"},
        {"a\\b\\c", false, false, "c"},
    };
    for (const auto& c : cases) EXPECT_EQ(ArchiveFileName(c.name, c.sfx, c.withExt), c.expected) << c.name;
}

TEST_F(ArchiveNamesTest, EmptyNameFollowsTheLanguage) {
    {
        LocaleEnvironment env(nullptr, nullptr, "fr_FR.UTF-8");
        EXPECT_EQ(ArchiveFileName("", false, true), "SansNom.zip");
    }
    {
        LocaleEnvironment env(nullptr, nullptr, "en_US.UTF-8");
        EXPECT_EQ(ArchiveFileName("", false, true), "NoName.zip");
        EXPECT_EQ(ArchiveFileName("", true, false), "NoName");
    }
}

}  // namespace
}  // namespace vpk
