#pragma once
// The stub's conversation with its user: a terminal when there is one; with --yes every question
// takes its accepting answer and nothing is asked.
#include <string>

namespace vpk::sfx {

class StubConsole {
  public:
    explicit StubConsole(bool assumeYes);

    bool AssumeYes() const { return assumeYes_; }
    // True when questions can be asked (a terminal on stdin), or need not be (--yes).
    bool CanAsk() const { return assumeYes_ || interactive_; }
    void Say(const std::string& line) const;
    void Warn(const std::string& line) const;
    // A yes/no question; defaultYes is the answer to an empty line (and, with --yes, true is given).
    bool Confirm(const std::string& question, bool defaultYes) const;
    // One of the letters in choices (lower case); an empty line gives fallback.
    char Choose(const std::string& question, const std::string& choices, char fallback) const;
    // A line of text; an empty line keeps fallback. With --yes: fallback.
    std::string AskLine(const std::string& prompt, const std::string& fallback) const;
    // A password typed without echo; false when none was typed or no terminal is there.
    bool AskSecret(const std::string& prompt, std::string& secret) const;

  private:
    bool ReadLine(std::string& line) const;

    bool assumeYes_;
    bool interactive_;
};

}  // namespace vpk::sfx
