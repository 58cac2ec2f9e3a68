#pragma once
// A combo box's list of earlier entries, kept in a section of a profile file as "n0", "n1", ... (list
// order, no gaps) and "last" (the text shown when it was saved). HistoryList is the box's state; the
// Qt combo boxes wrap it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

class HistoryList {
  public:
    const std::vector<std::string>& Entries() const { return entries_; }
    void SetEntries(std::vector<std::string> entries) { entries_ = std::move(entries); }
    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    std::size_t Caret() const { return caret_; }  // caret position in Text()
    void SetCaret(std::size_t caret) { caret_ = caret; }

  private:
    std::vector<std::string> entries_;
    std::string text_;
    std::size_t caret_ = 0;
};

// Loads the section into box (defaultEntry alone when the section has no keys); leaves the box as it
// was when that gives no entry. The text becomes "last", else the first entry; a bare drive root
// ("C:\") gets the caret after it.
void LoadHistory(HistoryList& box, std::string_view file, std::string_view section,
                 std::string_view defaultEntry);
// Rewrites the section from box, dropping empty and blank entries; nothing when the list is empty.
void SaveHistory(const HistoryList& box, std::string_view file, std::string_view section);
// Appends the box's text unless the list holds it already (case-blind) or it is blank.
void AddToHistory(HistoryList& box);
// The roots of every drive, A to Z; the box shows the second one, or the first when alone.
void FillDrives(HistoryList& box);

}  // namespace vpk
