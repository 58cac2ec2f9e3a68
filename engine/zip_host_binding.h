#pragma once
// The libraries use the platform layer of the program that loads them when that program exports it
// (linked with ENABLE_EXPORTS): one drive table and one current folder for both. A host that does not
// export it leaves the libraries their own copy, which then reads the drive table of the program
// folder itself (the current folder is then the library's own: the program folder's drive default).
namespace vpk::zip {

// Called at the start of every ZipExec/UnzExec.
void BindHostPlatform();

}  // namespace vpk::zip
