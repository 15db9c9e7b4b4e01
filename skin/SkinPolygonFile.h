#pragma once

// Skin polygon files: plain text files of whole numbers read two at a time,
// x then y, each pair one vertex of a closed polygon. A skin is a series of
// such files: "Form11GiF1.txt", then "Form11GiF11.txt", "Form11GiF12.txt" and
// so on, up to the first name that cannot be read.
//
// Plain C++ on purpose: any bytes may reach these functions, and they are
// tested and fuzzed without a window system.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skinform {

struct Vertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Vertex&, const Vertex&) = default;
};

using Polygon = std::vector<Vertex>;

// Files larger than this are not skin outlines; refusing them keeps a wrong
// name (a device, a huge log) from eating the process's memory.
inline constexpr std::size_t kMaxPolygonFileBytes = 16 * 1024 * 1024;

// The polygon that a file's text describes, every vertex moved by the offsets.
// Numbers are separated by commas, line breaks and blanks; a number may carry a
// sign and a decimal part (rounded to the nearest whole number, halves to
// even). No polygon comes out when the text is broken: a word that is not a
// number, a number beyond 32 bits, an odd count of numbers, or a vertex whose
// sum with an offset leaves 32 bits.
std::optional<Polygon> ParsePolygonText(std::string_view text, std::int32_t xPlus,
                                        std::int32_t yPlus);

// The name of file number index (1, 2, ...) of the series that firstName
// starts: the file name up to its own first "." (the folders before the last
// "/" are kept as they are), then index, then ".txt". None when the file name
// has no ".".
std::optional<std::string> SeriesFileName(const std::string& firstName, int index);

// The polygons of the whole series that starts with firstName, in order. The
// series ends at the first file that is missing, unreadable or broken; the
// files before it count.
std::vector<Polygon> ReadPolygonSeries(const std::string& firstName, std::int32_t xPlus,
                                       std::int32_t yPlus);

} // namespace skinform
