#pragma once
// The verbs of the vpk command-line tool. A verb file registers itself at static initialisation:
//
//   static const vpk::cli::VerbRegistration kList{"list", "ARCHIVE", "List the entries of an archive", RunList};
//
// A verb gets its own arguments (after the verb name) and returns the exit status: 0 ok, 1 failure,
// 2 usage.
#include <string>
#include <vector>

namespace vpk::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using VerbFunction = int (*)(const std::vector<std::string>& args);

struct Verb {
    std::string name;
    std::string usage;
    std::string summary;
    VerbFunction run = nullptr;
};

std::vector<Verb>& Verbs();

struct VerbRegistration {
    VerbRegistration(std::string name, std::string usage, std::string summary, VerbFunction run) {
        Verbs().push_back({std::move(name), std::move(usage), std::move(summary), run});
    }
};

// A path given on the command line: a host path (absolute or relative to the shell's folder) becomes
// the virtual path of the drive table; a path already in virtual form ("C:\\x") is kept.
std::string ArgumentPath(const std::string& arg);

}  // namespace vpk::cli
