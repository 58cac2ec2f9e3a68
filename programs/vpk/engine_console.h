#pragma once
// What the archive verbs of vpk share: option parsing and a console front for TZipEngine that prints
// its messages, shows progress on a terminal, answers its questions through the Dialogs interface,
// and tells whether anything failed (the exit status).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/zip_engine.h"

namespace vpk::cli {

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<char, std::vector<std::string>> options;  // flag letter → values ("" for a plain flag)
    bool Has(char flag) const { return options.count(flag) != 0; }
    const std::string& Last(char flag) const { return options.at(flag).back(); }
};

// Parses "-r -l 6 -x '*.tmp' file …": `flags` are letters without a value, `valued` letters that take
// one (as the next argument or glued: "-l6"). "--" ends the options. False with *error set on an
// unknown option or a missing value.
bool ParseArguments(const std::vector<std::string>& args, const std::string& flags, const std::string& valued,
                    ParsedArguments& out, std::string* error);

// Prints "vpk VERB: message" on stderr and returns the usage exit status.
int UsageError(const std::string& verb, const std::string& message, const std::string& usage);

class EngineConsole {
  public:
    // Binds the engine's events. The engine is made unattended: no message boxes, since every message
    // is printed here.
    EngineConsole(TZipEngine& engine, std::string verb);
    ~EngineConsole();
    EngineConsole(const EngineConsole&) = delete;
    EngineConsole& operator=(const EngineConsole&) = delete;

    // Passwords asked by the libraries are asked on the terminal (none without one).
    void AskPasswords();
    // Existing files met while extracting are asked about on the terminal (kept without one).
    void AskBeforeOverwriting();

    bool Failed() const { return failed_; }
    void MarkFailed() { failed_ = true; }
    int ExitStatus() const;
    void EndProgressLine();

  private:
    void Message(int errCode, const std::string& text);
    void Progress(ProgressType type, const std::string& name, std::int64_t size);

    TZipEngine& engine_;
    std::string verb_;
    bool terminal_ = false;
    bool failed_ = false;
    bool lineOpen_ = false;
    std::int64_t total_ = 0, done_ = 0;
    std::string current_;
};

// Makes `path` (a command-line path) the engine's current archive. False, with the reason printed,
// when the file is missing or its directory cannot be read.
bool OpenExistingArchive(TZipEngine& engine, EngineConsole& console, const std::string& verb,
                         const std::string& path);

}  // namespace vpk::cli
