#pragma once
// Finding and writing the icon of a self-extractor stub. Two stub forms are understood: our ELF stub,
// whose ".rsrc" section holds kIconAreaMarker and then the 744-byte image, and a Windows PE stub,
// whose ".rsrc" resource tree holds the icon (type 3, name 1, any language) as a 744-byte data entry.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

namespace vpk {

// Results of StampSfxIcon.
inline constexpr int kIconStamped = 0;
inline constexpr int kIconNoArea = -10;
inline constexpr int kIconOtherError = -11;
inline constexpr int kIconWrongFormat = -12;

// The file position of the stub's 744-byte icon image within its first stubSize bytes, or nullopt
// when the stub has no such place. Read failures raise PlatformError.
std::optional<std::uint64_t> LocateSfxIconArea(File& stub, std::uint64_t stubSize);

// Writes the icon file iconFile (766 bytes: one 32 x 32 16-colour icon) over the icon of the copy of
// stub (stubSize bytes) that begins output: kIconStamped, kIconNoArea, kIconWrongFormat or
// kIconOtherError. The area is looked up in stub, since output may be open for writing only.
int StampSfxIcon(File& stub, File& output, std::uint64_t stubSize, const std::string& iconFile);

// The stub's icon as an icon file, or empty when none can be taken.
std::string ReadSfxIcon(File& exe, std::uint64_t stubSize);

}  // namespace vpk
