#include "ShownText.h"

#include "Latin1.h"
#include "NameGuess.h"

#include <cstdio>

namespace songinfo {

namespace {

std::string Escape(const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

std::string FieldText(std::string_view field) {
    return TrimSpaces(field.substr(0, field.find('\0')));
}

std::string VisibleText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t start = at;
        const std::int32_t code = NextCodePoint(utf8, at);
        if (code < 0)
            shown += Escape("\\x%02X", static_cast<unsigned char>(utf8[start]));
        else if (code < 0x20 || code == 0x7F)
            shown += Escape("\\x%02X", static_cast<unsigned>(code));
        else if (code >= 0x80 && code <= 0x9F)
            shown += Escape("\\u%04X", static_cast<unsigned>(code));
        else
            shown.append(utf8.substr(start, at - start));
    }
    return shown;
}

} // namespace songinfo
