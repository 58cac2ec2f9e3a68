#pragma once
// The Qt answer to the core's questions: the message dialog for choices, an input box for texts.
#include "platform/dialogs.h"

namespace vpk::ui {

class QtDialogs : public Dialogs {
  public:
    int Ask(const DialogRequest& request) override;
    bool AskText(const std::string& caption, const std::string& prompt, bool secret,
                 std::string& text) override;
};

}  // namespace vpk::ui
