#pragma once
// What a batch run without a display shows: one line per step on the output stream (each line added
// to the information list or the error list, the final message, the caption when it changes) and
// nothing of the window's geometry or pictures. Errors go to the error stream so a scheduler's mail
// shows them apart.
#include <cstdio>
#include <string>

#include "runner/main_window_listener.h"

namespace vpk {

class ConsoleView : public MainWindowListener {
  public:
    ConsoleView(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}
    void OnLabel(LabelId id, const LabelElement& label) override;
    void OnList(ListId id, ListEdit edit, const ListElement& list) override;
    void OnWindow(const WindowElement& window) override;

  private:
    void Print(std::FILE* stream, const std::string& line);
    std::FILE* out_;
    std::FILE* err_;
    std::string lastCaption_;
    std::string lastFinal_;
    std::string lastInfo_;
};

}  // namespace vpk
