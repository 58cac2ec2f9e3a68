#include "sfx/stub_console.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>

namespace vpk::sfx {

StubConsole::StubConsole(bool assumeYes) : assumeYes_(assumeYes), interactive_(::isatty(STDIN_FILENO) != 0) {}

void StubConsole::Say(const std::string& line) const {
    std::cout << line << std::endl;
}

void StubConsole::Warn(const std::string& line) const {
    std::cerr << line << std::endl;
}

bool StubConsole::ReadLine(std::string& line) const {
    if (!interactive_) return false;
    return static_cast<bool>(std::getline(std::cin, line));
}

bool StubConsole::Confirm(const std::string& question, bool defaultYes) const {
    if (assumeYes_) return true;
    for (;;) {
        std::cout << question << (defaultYes ? " [Y/n] " : " [y/N] ") << std::flush;
        std::string line;
        if (!ReadLine(line)) return false;
        if (line.empty()) return defaultYes;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (c == 'y') return true;
        if (c == 'n') return false;
    }
}

char StubConsole::Choose(const std::string& question, const std::string& choices, char fallback) const {
    if (assumeYes_) return fallback;
    for (;;) {
        std::cout << question << ' ' << std::flush;
        std::string line;
        if (!ReadLine(line)) return fallback;
        if (line.empty()) return fallback;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        if (choices.find(c) != std::string::npos) return c;
    }
}

std::string StubConsole::AskLine(const std::string& prompt, const std::string& fallback) const {
    if (assumeYes_) return fallback;
    std::cout << prompt << " [" << fallback << "] " << std::flush;
    std::string line;
    if (!ReadLine(line) || line.empty()) return fallback;
    return line;
}

bool StubConsole::AskSecret(const std::string& prompt, std::string& secret) const {
    if (!interactive_) return false;
    std::cout << prompt << ' ' << std::flush;
    termios saved{};
    const bool echoOff = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (echoOff) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    const bool got = static_cast<bool>(std::getline(std::cin, secret));
    if (echoOff) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::cout << std::endl;
    return got && !secret.empty();
}

}  // namespace vpk::sfx
