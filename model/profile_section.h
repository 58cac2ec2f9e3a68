#pragma once
// One section of a profile file, read and written key by key with typed values (flags "1"/"0",
// numbers in decimal). Every call goes to the file: nothing is cached. A write of the value the key
// already holds leaves the file alone; any other write raises PlatformError when it is refused.
#include <string>
#include <string_view>

namespace vpk {

class ProfileSection {
  public:
    ProfileSection(std::string file, std::string section)
        : file_(std::move(file)), section_(std::move(section)) {}

    const std::string& File() const { return file_; }
    const std::string& Section() const { return section_; }

    std::string Text(std::string_view key, std::string_view defaultValue = {}) const;
    bool Flag(std::string_view key, bool defaultValue) const;
    // Out-of-range numbers are clamped to the int range.
    int Integer(std::string_view key, int defaultValue) const;

    void WriteText(std::string_view key, std::string_view value) const;
    void WriteFlag(std::string_view key, bool value) const;
    void WriteInteger(std::string_view key, long long value) const;
    void DeleteKey(std::string_view key) const;

  private:
    std::string file_;
    std::string section_;
};

}  // namespace vpk
