#pragma once
// Path and folder routines on virtual (Windows-form) paths.
#include <string>
#include <string_view>

#include "platform/registry_store.h"

namespace vpk {

std::string AddBackslash(std::string_view s);     // unless s is empty or already ends in '\'
std::string RemoveBackslash(std::string_view s);  // drops one final '\'

std::string ProgramFolder();  // the running program's folder, with its trailing '\'
// The host's counterparts of the Windows folder and the system folder, as virtual paths without a
// trailing '\': the system settings folder /etc and the shared-library folder /usr/lib. Empty when
// the drive table gives them no virtual form.
std::string WindowsFolder();
std::string SystemFolder();
// The "Desktop" and "Start Menu" values of the current user's Shell Folders key, with '\' appended.
std::string DesktopFolder(const RegistryStore& store = RegistryStore::Instance());
std::string StartMenuFolder(const RegistryStore& store = RegistryStore::Instance());

// The full path of an include or exclude line ("key=value") of a query file, base being the
// application folder. The macros "(app)", "(.)", "(win)", "(sys)" are searched anywhere in the
// value, in that order; the text after the last occurrence of the first one found follows the folder
// it stands for. Without a macro, base is put in front of the value. A line without '=' is a value.
std::string ExpandEntryPath(std::string_view base, std::string_view line);

}  // namespace vpk
