#pragma once
// The administrator lock: switches of section "admini" of the settings file that disable commands of
// the main window, and the password (kept as a digest text) that lifts most of them until the program
// ends. The settings are read anew at every question, so changes made by the administration program
// are seen; a successful check is never written back.
#include <string>
#include <string_view>

namespace vpk {

inline constexpr std::string_view kAdminSection = "admini";
inline constexpr std::string_view kAdminPasswordKey = "passw";
// The digest text the administration program writes for "no password".
inline constexpr std::string_view kNoAdminPasswordDigest = "5E0C27F4 A81B93D6 7C4F0E25 B96A1D83 2F57C0E9";
// Every switch; "1" (or missing) allows, "0" locks.
inline constexpr std::string_view kAdminSwitches = "efcadnzrlos";
// The switches a right password allows for the rest of the process; "d", "n" and "s" keep their values.
inline constexpr std::string_view kUnlockableSwitches = "efcalrzo";

// The digest text of a typed password: SHA-1 of its ANSI bytes (so digests made on Windows match),
// or of its UTF-8 bytes when it has characters outside the ANSI code page.
std::string PasswordDigestText(std::string_view typed);

class AdminLock {
  public:
    explicit AdminLock(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

    // True when "passw" holds a digest other than the empty or the no-password text: then the start-up
    // asks for the password.
    bool PasswordSet() const;
    // Compares the digest of `typed` with "passw" (exact characters and case). On a match the
    // unlockable switches stay allowed until this object ends; on a mismatch nothing changes.
    bool Check(std::string_view typed);
    bool Unlocked() const { return unlocked_; }

    // Whether switch `key` (one of kAdminSwitches) allows its commands now.
    bool Allows(char key) const;

  private:
    std::string settingsFile_;
    bool unlocked_ = false;
};

}  // namespace vpk
