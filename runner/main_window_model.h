#pragma once
// The main window's elements as the runner sees them, without Qt. The runner writes here; every write
// notifies the listeners, so the Qt window mirrors each change into its controls and the console view
// prints the step lines. Reading back gives what the window would show (the tests check that).
#include <array>
#include <string>
#include <vector>

#include "runner/main_window_elements.h"
#include "runner/main_window_listener.h"

namespace vpk {

class MainWindowModel {
  public:
    // Listeners are not owned and must outlive the model or be removed first.
    void AddListener(MainWindowListener* listener);
    void RemoveListener(MainWindowListener* listener);

    const LabelElement& Label(LabelId id) const { return labels_[static_cast<int>(id)]; }
    void SetLabel(LabelId id, std::string text);
    void SetTooltip(LabelId id, std::string tooltip);
    void ShowLabel(LabelId id, bool visible);

    const ListElement& List(ListId id) const { return lists_[static_cast<int>(id)]; }
    const std::vector<std::string>& Lines(ListId id) const { return List(id).lines; }
    void AddLine(ListId id, std::string line);
    void ClearList(ListId id);
    void SetListTooltip(ListId id, std::string tooltip);
    void ShowList(ListId id, bool visible);

    const ProgressElement& Progress() const { return progress_; }
    void SetProgress(int position);
    void ShowProgress(bool visible);

    const PictureElement& Picture(PictureId id) const { return pictures_[static_cast<int>(id)]; }
    void SetPicture(PictureId id, PictureElement picture);

    const PanelElement& Panel(PanelId id) const { return panels_[static_cast<int>(id)]; }
    void ShowPanel(PanelId id, bool visible);

    const DestinationBoxElement& DestinationBox() const { return combo_; }
    void SetDestinationBox(DestinationBoxElement box);
    void SetDestinationText(std::string text, std::size_t caret);
    void SetDestinationTooltip(std::string tooltip);

    const WindowElement& Window() const { return window_; }
    void SetCaption(std::string caption);
    void SetApplicationTitle(std::string title);
    void ShowWindow(bool shown);
    void SetWindowSize(int width, int height);

    // memolog: the run log held in memory.
    const std::vector<std::string>& LogLines() const { return log_; }
    void AddLogLine(std::string line);
    void SetLogLines(std::vector<std::string> lines);

  private:
    template <typename F>
    void Notify(F&& call) {
        for (MainWindowListener* listener : listeners_) call(*listener);
    }
    std::vector<MainWindowListener*> listeners_;
    std::array<LabelElement, LabelCount> labels_{};
    std::array<ListElement, ListCount> lists_{};
    ProgressElement progress_;
    std::array<PictureElement, PictureCount> pictures_{};
    std::array<PanelElement, PanelCount> panels_{};
    DestinationBoxElement combo_;
    WindowElement window_;
    std::vector<std::string> log_;
};

}  // namespace vpk
