#include "SkinPolygonFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>

namespace skinform {
namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// One number word: [+|-] digits [. digits], or [+|-] . digits. The magnitude is
// capped just past the 32-bit range so that long digit strings cannot wrap.
std::optional<std::int32_t> ParseNumber(std::string_view word) {
    constexpr std::int64_t kCap = std::int64_t{1} << 32;
    std::size_t at = 0;
    bool negative = false;
    if (at < word.size() && (word[at] == '+' || word[at] == '-'))
        negative = word[at++] == '-';

    std::int64_t magnitude = 0;
    bool anyDigit = false;
    for (; at < word.size() && IsDigit(word[at]); ++at) {
        anyDigit = true;
        magnitude = std::min(kCap, magnitude * 10 + (word[at] - '0'));
    }

    int firstFraction = 0;     // the digit after the point decides the rounding
    bool moreFraction = false; // anything non-zero after it breaks a tie upwards
    if (at < word.size() && word[at] == '.') {
        ++at;
        for (std::size_t first = at; at < word.size() && IsDigit(word[at]); ++at) {
            anyDigit = true;
            if (at == first)
                firstFraction = word[at] - '0';
            else if (word[at] != '0')
                moreFraction = true;
        }
    }
    if (!anyDigit || at != word.size())
        return std::nullopt;

    const bool tie = firstFraction == 5 && !moreFraction;
    if (firstFraction > 5 || (firstFraction == 5 && moreFraction) || (tie && magnitude % 2 == 1))
        magnitude = std::min(kCap, magnitude + 1);

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!FitsInt32(value))
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> Offset(std::int32_t value, std::int32_t plus) {
    const std::int64_t sum = std::int64_t{value} + plus;
    if (!FitsInt32(sum))
        return std::nullopt;
    return static_cast<std::int32_t>(sum);
}

// The whole file, or none when it cannot be opened or read or is too large.
std::optional<std::string> ReadSmallFile(const std::string& name) {
    // A folder or a device opens on this system but is no polygon file.
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error))
        return std::nullopt;
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char chunk[64 * 1024];
    while (in) {
        in.read(chunk, sizeof chunk);
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxPolygonFileBytes)
            return std::nullopt;
    }
    if (in.bad())
        return std::nullopt;
    return text;
}

} // namespace

std::optional<Polygon> ParsePolygonText(std::string_view text, std::int32_t xPlus,
                                        std::int32_t yPlus) {
    // Editors on some systems start a text file with a UTF-8 byte order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());

    Polygon polygon;
    bool haveX = false; // x read, y still to come
    std::int32_t pendingX = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsSeparator(text[at])) {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < text.size() && !IsSeparator(text[at]))
            ++at;
        const std::optional<std::int32_t> number = ParseNumber(text.substr(start, at - start));
        if (!number)
            return std::nullopt;
        if (!haveX) {
            haveX = true;
            pendingX = *number;
            continue;
        }
        const std::optional<std::int32_t> x = Offset(pendingX, xPlus);
        const std::optional<std::int32_t> y = Offset(*number, yPlus);
        if (!x || !y)
            return std::nullopt;
        polygon.push_back({*x, *y});
        haveX = false;
    }
    if (haveX) // the file ends in the middle of a pair
        return std::nullopt;
    return polygon;
}

std::optional<std::string> SeriesFileName(const std::string& firstName, int index) {
    // Only the file name's own "." counts: a dotted folder such as ".config"
    // must not cut the path short.
    const std::size_t slash = firstName.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = firstName.find('.', nameStart);
    if (dot == std::string::npos)
        return std::nullopt;
    return firstName.substr(0, dot) + std::to_string(index) + ".txt";
}

std::vector<Polygon> ReadPolygonSeries(const std::string& firstName, std::int32_t xPlus,
                                       std::int32_t yPlus) {
    std::vector<Polygon> polygons;
    for (int index = 0; index < std::numeric_limits<int>::max(); ++index) {
        const std::optional<std::string> name =
            index == 0 ? std::optional<std::string>(firstName) : SeriesFileName(firstName, index);
        if (!name)
            break;
        try {
            const std::optional<std::string> text = ReadSmallFile(*name);
            if (!text)
                break;
            std::optional<Polygon> polygon = ParsePolygonText(*text, xPlus, yPlus);
            if (!polygon)
                break;
            polygons.push_back(std::move(*polygon));
        } catch (const std::bad_alloc&) {
            break; // like any other failure: the files read so far count
        }
    }
    return polygons;
}

} // namespace skinform
