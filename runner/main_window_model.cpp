#include "runner/main_window_model.h"

#include <algorithm>

namespace vpk {

void MainWindowModel::AddListener(MainWindowListener* listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void MainWindowModel::RemoveListener(MainWindowListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void MainWindowModel::SetLabel(LabelId id, std::string text) {
    LabelElement& label = labels_[static_cast<int>(id)];
    label.text = std::move(text);
    Notify([&](MainWindowListener& l) { l.OnLabel(id, label); });
}

void MainWindowModel::SetTooltip(LabelId id, std::string tooltip) {
    LabelElement& label = labels_[static_cast<int>(id)];
    label.tooltip = std::move(tooltip);
    Notify([&](MainWindowListener& l) { l.OnLabel(id, label); });
}

void MainWindowModel::ShowLabel(LabelId id, bool visible) {
    LabelElement& label = labels_[static_cast<int>(id)];
    label.visible = visible;
    Notify([&](MainWindowListener& l) { l.OnLabel(id, label); });
}

void MainWindowModel::AddLine(ListId id, std::string line) {
    ListElement& list = lists_[static_cast<int>(id)];
    list.lines.push_back(std::move(line));
    Notify([&](MainWindowListener& l) { l.OnList(id, ListEdit::Appended, list); });
}

void MainWindowModel::ClearList(ListId id) {
    ListElement& list = lists_[static_cast<int>(id)];
    list.lines.clear();
    Notify([&](MainWindowListener& l) { l.OnList(id, ListEdit::Replaced, list); });
}

void MainWindowModel::SetListTooltip(ListId id, std::string tooltip) {
    ListElement& list = lists_[static_cast<int>(id)];
    list.tooltip = std::move(tooltip);
    Notify([&](MainWindowListener& l) { l.OnList(id, ListEdit::Replaced, list); });
}

void MainWindowModel::ShowList(ListId id, bool visible) {
    ListElement& list = lists_[static_cast<int>(id)];
    list.visible = visible;
    Notify([&](MainWindowListener& l) { l.OnList(id, ListEdit::Replaced, list); });
}

void MainWindowModel::SetProgress(int position) {
    progress_.position = std::clamp(position, 0, progress_.maximum);
    Notify([&](MainWindowListener& l) { l.OnProgress(progress_); });
}

void MainWindowModel::ShowProgress(bool visible) {
    progress_.visible = visible;
    Notify([&](MainWindowListener& l) { l.OnProgress(progress_); });
}

void MainWindowModel::SetPicture(PictureId id, PictureElement picture) {
    PictureElement& element = pictures_[static_cast<int>(id)];
    element = std::move(picture);
    Notify([&](MainWindowListener& l) { l.OnPicture(id, element); });
}

void MainWindowModel::ShowPanel(PanelId id, bool visible) {
    PanelElement& panel = panels_[static_cast<int>(id)];
    panel.visible = visible;
    Notify([&](MainWindowListener& l) { l.OnPanel(id, panel); });
}

void MainWindowModel::SetDestinationBox(DestinationBoxElement box) {
    combo_ = std::move(box);
    Notify([&](MainWindowListener& l) { l.OnDestinationBox(combo_); });
}

void MainWindowModel::SetDestinationText(std::string text, std::size_t caret) {
    combo_.text = std::move(text);
    combo_.caret = std::min(caret, combo_.text.size());
    Notify([&](MainWindowListener& l) { l.OnDestinationBox(combo_); });
}

void MainWindowModel::SetDestinationTooltip(std::string tooltip) {
    combo_.tooltip = std::move(tooltip);
    Notify([&](MainWindowListener& l) { l.OnDestinationBox(combo_); });
}

void MainWindowModel::SetCaption(std::string caption) {
    window_.caption = std::move(caption);
    Notify([&](MainWindowListener& l) { l.OnWindow(window_); });
}

void MainWindowModel::SetApplicationTitle(std::string title) {
    window_.applicationTitle = std::move(title);
    Notify([&](MainWindowListener& l) { l.OnWindow(window_); });
}

void MainWindowModel::ShowWindow(bool shown) {
    window_.shown = shown;
    Notify([&](MainWindowListener& l) { l.OnWindow(window_); });
}

void MainWindowModel::SetWindowSize(int width, int height) {
    window_.width = width;
    window_.height = height;
    Notify([&](MainWindowListener& l) { l.OnWindow(window_); });
}

void MainWindowModel::AddLogLine(std::string line) {
    log_.push_back(std::move(line));
    Notify([&](MainWindowListener& l) { l.OnLog(ListEdit::Appended, log_); });
}

void MainWindowModel::SetLogLines(std::vector<std::string> lines) {
    log_ = std::move(lines);
    Notify([&](MainWindowListener& l) { l.OnLog(ListEdit::Replaced, log_); });
}

}  // namespace vpk
