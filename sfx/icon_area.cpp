// The stub's icon place: a ".rsrc" section holding the marker and a default 32 x 32 16-colour image,
// which the archive engine overwrites with the archive's own icon when it builds a self-extractor.
#include <array>
#include <cstdint>

#include "engine/sfx_icon_image.h"

namespace {

struct IconArea {
    char marker[vpk::kIconAreaMarkerSize];
    std::array<std::uint8_t, vpk::kIconImageSize> image;
};

constexpr IconArea MakeIconArea() {
    IconArea area{};
    for (std::size_t i = 0; i < vpk::kIconAreaMarkerSize; ++i) area.marker[i] = vpk::kIconAreaMarker[i];
    area.image = vpk::DefaultIconImage();
    return area;
}

}  // namespace

// Kept even though nothing reads it at run time: its bytes are the point.
extern const IconArea kSfxIconArea;
__attribute__((section(".rsrc"), used)) const IconArea kSfxIconArea = MakeIconArea();
