#include "runner/launcher.h"

namespace vpk {

int Launch(std::string_view commandLine, ShowMode show, bool wait) {
    if (RunCommand(commandLine, show, wait) >= 0) return 0;
    // Not a program: a document (a shortcut file included) opens with the program associated with it.
    OpenDocument(commandLine);
    return 0;
}

}  // namespace vpk
