#include "platform/dialogs.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace vpk {

namespace {

Dialogs* installed = nullptr;

constexpr const char* kCancelText = "\x18";

// The answer of a dialog closed without a button: the last one, the cancelling one by convention.
int LastButton(const DialogRequest& request) {
    return std::max<int>(1, static_cast<int>(request.buttons.size()));
}

void PrintRequest(const DialogRequest& request) {
    std::fprintf(stderr, "%s%s\n", request.icon.empty() ? "" : (request.icon + " ").c_str(),
                 request.caption.c_str());
    for (const auto& line : request.lines) std::fprintf(stderr, "  %s\n", line.c_str());
}

bool ReadLine(bool secret, std::string& line) {
    termios saved{};
    const bool hide = secret && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool ok = static_cast<bool>(std::getline(std::cin, line));
    if (hide) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fprintf(stderr, "\n");
    }
    return ok;
}

}  // namespace

Dialogs& Dialogs::Current() {
    static ConsoleDialogs console;
    return installed ? *installed : console;
}

void Dialogs::Install(Dialogs* dialogs) {
    installed = dialogs;
}

int ConsoleDialogs::Ask(const DialogRequest& request) {
    PrintRequest(request);
    const int last = LastButton(request);
    if (!::isatty(STDIN_FILENO) || request.buttons.size() <= 1) {
        if (!request.buttons.empty()) std::fprintf(stderr, "  -> %s\n", request.buttons.back().c_str());
        return last;
    }
    for (;;) {
        for (std::size_t i = 0; i < request.buttons.size(); ++i) {
            std::fprintf(stderr, "  [%zu] %s\n", i + 1, request.buttons[i].c_str());
        }
        std::fprintf(stderr, "Choice (1-%d): ", last);
        std::string line;
        if (!ReadLine(false, line)) return last;  // end of input closes the dialog
        char* end = nullptr;
        const long choice = std::strtol(line.c_str(), &end, 10);
        if (end != line.c_str() && choice >= 1 && choice <= last) return static_cast<int>(choice);
    }
}

bool ConsoleDialogs::AskText(const std::string& caption, const std::string& prompt, bool secret,
                             std::string& text) {
    if (!::isatty(STDIN_FILENO)) return false;
    std::fprintf(stderr, "%s\n%s ", caption.c_str(), prompt.c_str());
    std::string line;
    if (!ReadLine(secret, line)) return false;
    text = line;
    return true;
}

int ScriptedDialogs::Ask(const DialogRequest& request) {
    asked_.push_back(request);
    const int last = LastButton(request);
    if (answers_.empty()) return last;
    const int answer = answers_.front();
    answers_.pop_front();
    // A script answering a button the dialog does not have would test nothing real.
    return std::clamp(answer, 1, last);
}

bool ScriptedDialogs::AskText(const std::string& caption, const std::string& prompt, bool secret,
                              std::string& text) {
    (void)secret;
    asked_.push_back(DialogRequest{caption, "", {prompt}, {}});
    if (texts_.empty()) return false;
    std::string answer = std::move(texts_.front());
    texts_.pop_front();
    if (answer == kCancelText) return false;
    text = std::move(answer);
    return true;
}

}  // namespace vpk
