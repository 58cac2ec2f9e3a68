#pragma once
// One section of a profile file, read and written key by key with typed values (flags "1"/"0",
// numbers in decimal). Every call goes to the file: nothing is cached. A write of the value the key
// already holds leaves the file alone; any other write raises PlatformError when it is refused.
// A profile value is one line: a line break in a text (a comment typed on two lines) is written as a
// blank, so that the write neither fails half-way through a query nor adds lines of its own.
#include <stdexcept>
#include <string>
#include <string_view>

namespace vpk {

std::string OneLine(std::string_view value);  // line breaks replaced by blanks

// A value longer than the 1023 characters a read gives back: written, it would come back cut (an
// exclusion pattern or an include entry cut short names other files than the user chose).
class EValueTooLong : public std::runtime_error {
  public:
    EValueTooLong(std::string_view file, std::string_view section, std::string_view key, std::size_t length);
};

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
    // Raises EValueTooLong, before anything is written, for a value that would not read back whole.
    void RequireReadable(std::string_view key, std::string_view value) const;

  private:
    std::string file_;
    std::string section_;
};

}  // namespace vpk
