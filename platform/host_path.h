#pragma once
// Helpers on host paths and entries shared by the file-system sources.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vpk::host {

// Absolute, with "." and ".." resolved textually and no trailing '/' (but for "/").
std::string Normalize(std::string_view path);
std::string BaseName(std::string_view path);
std::string Parent(std::string_view path);  // "/" for "/x"

// The kAttr* bits of a host entry; name is its file name (for the hidden bit).
std::uint32_t AttributesOf(const std::string& hostPath, const struct stat& st);

// The archive mark: "<mtime seconds>.<nanoseconds> <size>" of the file when it was last cleared.
std::string ArchiveMark(const struct stat& st);

}  // namespace vpk::host
