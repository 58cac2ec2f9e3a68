#pragma once
// The text of one profile file as lines, edited in place so that a change touches only the lines it
// must: every other line keeps its bytes, its line ending and its position.
//
// A line is a section header ("[name]"), a key line ("name=value"), a comment (first non-blank
// character ';') or anything else (kept, never interpreted). Keys before the first section belong to
// no section. When a name occurs twice, the first section and the first key win, for reads and writes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

class ProfileDocument {
  public:
    // text is UTF-8 (the caller decodes the file); it is split after every "\n".
    explicit ProfileDocument(std::string_view text = {});

    bool FindValue(std::string_view section, std::string_view key, std::string& value) const;
    // The same answer as ProfileDocument(text).FindValue(...), straight from the text: reads are by far
    // the most frequent call and each one sees the whole file, so they must not build the document.
    static bool FindValueInText(std::string_view text, std::string_view section, std::string_view key,
                                std::string& value);
    std::vector<std::string> Keys(std::string_view section) const;  // file order, first spelling
    std::vector<std::string> Sections() const;                      // file order, first spelling
    bool HasSection(std::string_view section) const;

    // Replaces the value of an existing key (keeping its name as spelt in the file) or adds the key at
    // the end of its section, creating the section at the end of the file when missing.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Adds an empty section at the end of the file; false when it exists already.
    bool AddSection(std::string_view section);
    bool EraseSection(std::string_view section);  // false when it was missing
    bool DeleteKey(std::string_view section, std::string_view key);

    std::string Text() const;

  private:
    struct Line {
        std::string text;  // without its line ending
        std::string eol;   // "\n", "\r\n" or "" for a last line without one
    };
    static std::string_view Trim(std::string_view s);
    static bool SectionName(std::string_view line, std::string_view& name);
    static bool KeyLine(std::string_view line, std::string_view& name, std::string_view& value);
    std::size_t FindSection(std::string_view section) const;  // index of the header or npos
    std::size_t SectionEnd(std::size_t header) const;         // one past its last line
    std::size_t FindKey(std::size_t header, std::string_view key) const;
    void EnsureLastLineEnded();

    std::vector<Line> lines_;
    std::string newline_ = "\n";  // style for new lines: that of the file's first line ending
};

}  // namespace vpk
