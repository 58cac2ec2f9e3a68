#pragma once
// An editable combo box over a history list (model/history_list.h): the earlier entries as items, the
// text being typed as the edit text, and the caret. The list lives in a section of a profile file.
#include <QComboBox>
#include <string_view>

#include "model/history_list.h"

namespace vpk::ui {

class HistoryCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit HistoryCombo(QWidget* parent = nullptr);

    // Shows the list: its entries as items, its text with the caret where the list has it.
    void SetHistory(const HistoryList& history);
    // The box as a history list: items, edit text, caret.
    HistoryList History() const;

    // Loads / saves the section of the profile file (rules of LoadHistory / SaveHistory).
    void Load(std::string_view file, std::string_view section, std::string_view defaultEntry);
    void Save(std::string_view file, std::string_view section) const;
    // Keeps the edit text as an entry unless the list holds it already (case-blind) or it is blank.
    void AddCurrentText();
    // Replaces the list by the roots of every drive.
    void FillWithDrives();

    void SetCaret(int position);
    int Caret() const;
};

}  // namespace vpk::ui
