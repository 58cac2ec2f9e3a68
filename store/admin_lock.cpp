#include "store/admin_lock.h"

#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "store/sec_hash.h"

namespace vpk {

std::string PasswordDigestText(std::string_view typed) {
    bool lossless = true;
    const std::string ansi = Utf8ToCp1252(typed, &lossless);
    return DigestText(TSecHash().Digest(lossless ? std::string_view(ansi) : typed));
}

bool AdminLock::PasswordSet() const {
    const std::string stored = profile::ReadString(settingsFile_, kAdminSection, kAdminPasswordKey);
    return !stored.empty() && stored != kNoAdminPasswordDigest;
}

bool AdminLock::Check(std::string_view typed) {
    const std::string stored = profile::ReadString(settingsFile_, kAdminSection, kAdminPasswordKey);
    if (PasswordDigestText(typed) != stored) return false;
    unlocked_ = true;
    return true;
}

bool AdminLock::Allows(char key) const {
    if (unlocked_ && kUnlockableSwitches.find(key) != std::string_view::npos) return true;
    return profile::ReadFlag(settingsFile_, kAdminSection, std::string_view(&key, 1), true);
}

}  // namespace vpk
