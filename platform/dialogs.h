#pragma once
// Questions and messages. Core code asks through Dialogs; the Qt message dialog, the console and the
// tests each implement it. A button number is 1..count, numbered from the left; a dialog closed without
// a button (close box, no terminal) answers the last button, which every caller treats as cancel.
#include <deque>
#include <string>
#include <vector>

namespace vpk {

struct DialogRequest {
    std::string caption;
    std::string icon;                    // "?" question, "!" warning, "#" forbidden, else none
    std::vector<std::string> lines;      // up to 6
    std::vector<std::string> buttons;    // 1..4 captions, already translated
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual int Ask(const DialogRequest& request) = 0;   // the number of the button pressed
    // A line of text the user must type (a password, a disk label …); false when cancelled.
    virtual bool AskText(const std::string& caption, const std::string& prompt, bool secret,
                         std::string& text) = 0;

    static Dialogs& Current();
    static void Install(Dialogs* dialogs);  // nullptr restores the console dialogs; caller owns it
};

// Asks on the terminal (stdin a tty); without one answers the last button / cancels.
class ConsoleDialogs : public Dialogs {
public:
    int Ask(const DialogRequest& request) override;
    bool AskText(const std::string& caption, const std::string& prompt, bool secret, std::string& text) override;
};

// Answers from a script, in order, and records every request; an exhausted script answers the last
// button / cancels.
class ScriptedDialogs : public Dialogs {
public:
    void QueueAnswer(int button) { answers_.push_back(button); }
    void QueueText(std::string text) { texts_.push_back(std::move(text)); }  // "\x18" = cancel
    int Ask(const DialogRequest& request) override;
    bool AskText(const std::string& caption, const std::string& prompt, bool secret, std::string& text) override;
    const std::vector<DialogRequest>& Asked() const { return asked_; }

private:
    std::deque<int> answers_;
    std::deque<std::string> texts_;
    std::vector<DialogRequest> asked_;
};

}  // namespace vpk
