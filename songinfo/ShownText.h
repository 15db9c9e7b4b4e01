#pragma once

#include <string>
#include <string_view>

namespace songinfo {

// A song fact as the user reads it: the text up to its first NUL (the
// padding most taggers write after a field), without leading and trailing
// spaces.
std::string FieldText(std::string_view field);

// The text with every character that would act instead of show made
// visible, so that a tag or a file name cannot drive a terminal or break a
// line: control characters become "\xHH" (C0 and DEL) or "\uHHHH" (C1), and
// bytes that are no UTF-8 become "\xHH". Everything else stays as it is.
std::string VisibleText(std::string_view utf8);

} // namespace songinfo
