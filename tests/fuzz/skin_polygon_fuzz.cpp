// Skin outline files with arbitrary contents, read and turned into the
// window's region.
//
// Input: eight bytes of offsets (x and y, little-endian), then the text.

#include "SkinPolygonFile.h"
#include "SkinRegion.h"

#include <cstdint>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t offsets[2] = {4, 23};
    std::size_t header = size >= sizeof offsets ? sizeof offsets : 0;
    if (header)
        std::memcpy(offsets, data, sizeof offsets);
    std::string_view text(reinterpret_cast<const char*>(data) + header, size - header);
    auto polygon = skinform::ParsePolygonText(text, offsets[0], offsets[1]);
    if (!polygon)
        return 0;
    // Two copies exercise the exclusive-or of a series as well.
    skinform::SkinRegion({*polygon, *polygon});
    skinform::SkinRegion({*polygon});
    return 0;
}
