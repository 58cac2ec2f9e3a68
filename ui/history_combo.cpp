#include "ui/history_combo.h"

#include <QLineEdit>

namespace vpk::ui {

HistoryCombo::HistoryCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The list is kept by the history routines (no duplicates, saved order); Qt must not add to it.
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(false);
}

void HistoryCombo::SetHistory(const HistoryList& history) {
    const QSignalBlocker quiet(this);
    clear();
    for (const auto& entry : history.Entries()) addItem(QString::fromStdString(entry));
    setEditText(QString::fromStdString(history.Text()));
    SetCaret(static_cast<int>(QString::fromStdString(history.Text().substr(0, history.Caret())).size()));
}

HistoryList HistoryCombo::History() const {
    HistoryList history;
    std::vector<std::string> entries;
    for (int i = 0; i < count(); ++i) entries.push_back(itemText(i).toStdString());
    history.SetEntries(std::move(entries));
    history.SetText(currentText().toStdString());
    history.SetCaret(currentText().left(Caret()).toStdString().size());
    return history;
}

void HistoryCombo::Load(std::string_view file, std::string_view section, std::string_view defaultEntry) {
    HistoryList history = History();
    LoadHistory(history, file, section, defaultEntry);
    SetHistory(history);
}

void HistoryCombo::Save(std::string_view file, std::string_view section) const {
    SaveHistory(History(), file, section);
}

void HistoryCombo::AddCurrentText() {
    HistoryList history = History();
    AddToHistory(history);
    SetHistory(history);
}

void HistoryCombo::FillWithDrives() {
    HistoryList history;
    FillDrives(history);
    SetHistory(history);
}

void HistoryCombo::SetCaret(int position) {
    if (QLineEdit* edit = lineEdit()) edit->setCursorPosition(position);
}

int HistoryCombo::Caret() const {
    const QLineEdit* edit = lineEdit();
    return edit ? edit->cursorPosition() : 0;
}

}  // namespace vpk::ui
