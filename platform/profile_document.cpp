#include "platform/profile_document.h"

#include "platform/text_codec.h"

namespace vpk {

namespace {
constexpr std::size_t npos = std::string::npos;
}

ProfileDocument::ProfileDocument(std::string_view text) {
    bool styleSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        if (nl == npos) {
            lines_.push_back({std::string(text.substr(start)), std::string()});
            break;
        }
        const bool crlf = nl > start && text[nl - 1] == '\r';
        const std::size_t end = crlf ? nl - 1 : nl;
        lines_.push_back({std::string(text.substr(start, end - start)), crlf ? "\r\n" : "\n"});
        start = nl + 1;
        if (!styleSeen) newline_ = lines_.back().eol, styleSeen = true;
    }
}

std::string_view ProfileDocument::Trim(std::string_view s) {
    constexpr std::string_view blanks = " \t\r\v\f";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool ProfileDocument::SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    // A header missing its ']' still opens a section named by the rest of the line.
    name = Trim(line.substr(0, line.find(']')));
    return true;
}

bool ProfileDocument::KeyLine(std::string_view line, std::string_view& name, std::string_view& value) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    const std::size_t eq = trimmed.find('=');
    if (eq == npos) return false;
    name = Trim(trimmed.substr(0, eq));
    if (name.empty()) return false;
    value = Trim(trimmed.substr(eq + 1));
    return true;
}

std::size_t ProfileDocument::FindSection(std::string_view section) const {
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i].text, name) && SameText(name, wanted)) return i;
    }
    return npos;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    std::string_view name;
    while (i < lines_.size() && !SectionName(lines_[i].text, name)) ++i;
    return i;
}

std::size_t ProfileDocument::FindKey(std::size_t header, std::string_view key) const {
    const std::string_view wanted = Trim(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view name, value;
        if (KeyLine(lines_[i].text, name, value) && SameText(name, wanted)) return i;
    }
    return npos;
}

bool ProfileDocument::FindValue(std::string_view section, std::string_view key, std::string& value) const {
    const std::size_t header = FindSection(section);
    if (header == npos) return false;
    const std::size_t at = FindKey(header, key);
    if (at == npos) return false;
    std::string_view name, found;
    KeyLine(lines_[at].text, name, found);
    value = std::string(found);
    return true;
}

bool ProfileDocument::FindValueInText(std::string_view text, std::string_view section, std::string_view key,
                                      std::string& value) {
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == npos) nl = text.size();
        const std::string_view line = text.substr(start, nl - start);
        start = nl + 1;
        std::string_view name, found;
        if (SectionName(line, name)) {
            // Only the first section of a name counts, as for every other call.
            if (inSection) return false;
            inSection = !sectionSeen && SameText(name, wantedSection);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && KeyLine(line, name, found) && SameText(name, wantedKey)) {
            value = std::string(found);
            return true;
        }
    }
    return false;
}

std::vector<std::string> ProfileDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    const std::size_t header = FindSection(section);
    if (header == npos) return keys;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view name, value;
        if (!KeyLine(lines_[i].text, name, value)) continue;
        bool seen = false;
        for (const auto& k : keys) seen = seen || SameText(k, name);
        if (!seen) keys.emplace_back(name);
    }
    return keys;
}

std::vector<std::string> ProfileDocument::Sections() const {
    std::vector<std::string> sections;
    for (const auto& line : lines_) {
        std::string_view name;
        if (!SectionName(line.text, name)) continue;
        bool seen = false;
        for (const auto& s : sections) seen = seen || SameText(s, name);
        if (!seen) sections.emplace_back(name);
    }
    return sections;
}

bool ProfileDocument::HasSection(std::string_view section) const {
    return FindSection(section) != npos;
}

void ProfileDocument::EnsureLastLineEnded() {
    if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = newline_;
}

void ProfileDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view k = Trim(key);
    const std::string_view v = Trim(value);
    std::size_t header = FindSection(section);
    if (header == npos) {
        EnsureLastLineEnded();
        lines_.push_back({"[" + std::string(Trim(section)) + "]", newline_});
        lines_.push_back({std::string(k) + "=" + std::string(v), newline_});
        return;
    }
    const std::size_t at = FindKey(header, k);
    if (at != npos) {
        std::string_view name, old;
        KeyLine(lines_[at].text, name, old);
        lines_[at].text = std::string(name) + "=" + std::string(v);
        return;
    }
    // After the section's last key, so comments and blank lines that follow it stay where they are.
    std::size_t insertAt = header + 1;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view name, old;
        if (KeyLine(lines_[i].text, name, old)) insertAt = i + 1;
    }
    if (insertAt == lines_.size()) EnsureLastLineEnded();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Line{std::string(k) + "=" + std::string(v), newline_});
}

bool ProfileDocument::AddSection(std::string_view section) {
    if (FindSection(section) != npos) return false;
    EnsureLastLineEnded();
    lines_.push_back({"[" + std::string(Trim(section)) + "]", newline_});
    return true;
}

bool ProfileDocument::EraseSection(std::string_view section) {
    const std::size_t header = FindSection(section);
    if (header == npos) return false;
    const std::size_t end = SectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
    const std::size_t header = FindSection(section);
    if (header == npos) return false;
    const std::size_t at = FindKey(header, key);
    if (at == npos) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

std::string ProfileDocument::Text() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

}  // namespace vpk
