#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/profile_file.h"
#include "store/permanent_password.h"
#include "support/test_support.h"

namespace vpk {
namespace {

class PermanentPasswordTest : public ::testing::Test {
  protected:
    std::string Stored() { return profile::ReadString(ini_, "div", "dateinstall"); }
    test::TempDir dir_;
    std::string ini_ = dir_ / "vortipak.ini";
};

TEST_F(PermanentPasswordTest, WrittenEncipheredAndReadBack) {
    WritePermanentPassword(ini_, "a");
    EXPECT_EQ(Stored(), "FA0D");
    EXPECT_EQ(ReadPermanentPassword(ini_), "a");
    const std::pair<std::string, std::size_t> cases[] = {
        {"Backup-2024!", 12},
        {"caf\xC3\xA9 cr\xC3\xA8me", 10},  // one ANSI byte for each accented letter
        {std::string(80, 'z'), 80},
    };
    for (const auto& [password, ansiLength] : cases) {
        SCOPED_TRACE(password);
        WritePermanentPassword(ini_, password);
        EXPECT_EQ(Stored().size(), 2 + 2 * ansiLength);
        EXPECT_EQ(Stored().find(password), std::string::npos);
        EXPECT_EQ(ReadPermanentPassword(ini_), password);
    }
}

TEST_F(PermanentPasswordTest, EmptyEntryRemovesIt) {
    WritePermanentPassword(ini_, "secret");
    WritePermanentPassword(ini_, "");
    EXPECT_EQ(Stored(), "");
    EXPECT_EQ(ReadPermanentPassword(ini_), "");
}

TEST_F(PermanentPasswordTest, StoredValuesThatHoldNoPasswordReadAsNone) {
    EXPECT_EQ(ReadPermanentPassword(ini_), "");  // no file
    for (const char* stored : {"FA0", "FA", "XYZW", "FA0D0", "FA-D"}) {
        SCOPED_TRACE(stored);
        profile::WriteString(ini_, "div", "dateinstall", stored);
        EXPECT_EQ(ReadPermanentPassword(ini_), "");
    }
}

TEST_F(PermanentPasswordTest, CharacterWithoutAnsiFormIsRefused) {
    WritePermanentPassword(ini_, "kept");
    EXPECT_THROW(WritePermanentPassword(ini_, "\xCE\xA9mega"), std::invalid_argument);  // Greek capital omega
    EXPECT_EQ(ReadPermanentPassword(ini_), "kept");
}

}  // namespace
}  // namespace vpk
