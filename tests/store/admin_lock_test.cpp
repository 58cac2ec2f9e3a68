#include <gtest/gtest.h>

#include <string>

#include "platform/profile_file.h"
#include "store/admin_lock.h"
#include "store/sec_hash.h"
#include "support/test_support.h"

namespace vpk {
namespace {

class AdminLockTest : public ::testing::Test {
  protected:
    void WriteAdmin(const std::string& key, const std::string& value) {
        profile::WriteString(ini_, "admini", key, value);
    }
    test::TempDir dir_;
    std::string ini_ = dir_ / "vortipak.ini";
};

TEST_F(AdminLockTest, WhenAPasswordIsAsked) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},
        {"5E0C27F4 A81B93D6 7C4F0E25 B96A1D83 2F57C0E9", false},
        {"A9993E36 4706816A BA3E2571 7850C26C 9CD0D89D", true},
        {"anything else", true},
    };
    EXPECT_FALSE(AdminLock(ini_).PasswordSet());  // no file at all
    for (const auto& [stored, asks] : cases) {
        SCOPED_TRACE(stored);
        WriteAdmin("passw", stored);
        EXPECT_EQ(AdminLock(ini_).PasswordSet(), asks);
    }
}

TEST_F(AdminLockTest, RightPasswordUnlocksAllButThreeSwitchesWithoutWriting) {
    WriteAdmin("passw", "A9993E36 4706816A BA3E2571 7850C26C 9CD0D89D");  // digest of "abc"
    for (char key : kAdminSwitches) WriteAdmin(std::string(1, key), "0");
    const std::string before = test::ReadHostFile(ini_);

    AdminLock lock(ini_);
    for (char key : kAdminSwitches) EXPECT_FALSE(lock.Allows(key)) << key;
    EXPECT_FALSE(lock.Check("ABC"));  // digests compare exactly
    EXPECT_FALSE(lock.Unlocked());
    for (char key : kAdminSwitches) EXPECT_FALSE(lock.Allows(key)) << key;

    EXPECT_TRUE(lock.Check("abc"));
    for (char key : std::string("efcalrzo")) EXPECT_TRUE(lock.Allows(key)) << key;
    for (char key : std::string("dns")) EXPECT_FALSE(lock.Allows(key)) << key;
    EXPECT_EQ(test::ReadHostFile(ini_), before);

    // The switches that stay are read anew each time.
    WriteAdmin("d", "1");
    EXPECT_TRUE(lock.Allows('d'));
}

TEST_F(AdminLockTest, SwitchesDefaultToAllowed) {
    WriteAdmin("c", "0");
    WriteAdmin("f", "2");  // any number but 0 allows
    const AdminLock lock(ini_);
    EXPECT_FALSE(lock.Allows('c'));
    EXPECT_TRUE(lock.Allows('f'));
    EXPECT_TRUE(lock.Allows('e'));
}

TEST_F(AdminLockTest, EmptyAndAccentedPasswords) {
    WriteAdmin("passw", PasswordDigestText(""));
    AdminLock lock(ini_);
    EXPECT_TRUE(lock.PasswordSet());
    EXPECT_TRUE(lock.Check(""));
    // "é" is hashed as its ANSI byte, as the administration program on Windows did.
    EXPECT_EQ(PasswordDigestText("\xC3\xA9"), DigestText(TSecHash().Digest("\xE9")));
}

}  // namespace
}  // namespace vpk
