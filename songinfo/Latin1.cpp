#include "Latin1.h"

#include <cstdint>

namespace songinfo {

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::int32_t NextCodePoint(std::string_view text, std::size_t& at) {
    auto lead = static_cast<unsigned char>(text[at]);
    int extra = 0;
    std::int32_t code = 0;
    std::int32_t smallest = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, smallest = 0x10000;
    } else {
        ++at;
        return -1;
    }
    if (text.size() - at <= static_cast<std::size_t>(extra)) {
        ++at;
        return -1;
    }
    for (int i = 1; i <= extra; ++i) {
        auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return -1;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return -1;
    }
    at += static_cast<std::size_t>(extra) + 1;
    return code;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        std::int32_t code = NextCodePoint(text, at);
        bytes += (code >= 0 && code <= 0xFF) ? static_cast<char>(code) : '?';
    }
    return bytes;
}

} // namespace songinfo
