#pragma once
// The launcher: starts a program, or opens a document with its associated program, in a show mode,
// optionally waiting for its end while the windows stay responsive.
#include <string_view>

#include "platform/process.h"

namespace vpk {

// Returns 0 whether or not anything could be started: a command that cannot start and opens no
// document is skipped silently, as every caller expects.
int Launch(std::string_view commandLine, ShowMode show, bool wait);

}  // namespace vpk
