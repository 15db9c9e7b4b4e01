#include "TagRecord.h"

#include "Latin1.h"

#include <algorithm>
#include <string>

namespace songinfo {

void TagRecord::Assign(std::size_t block_offset, std::size_t width, std::string_view text) {
    std::string latin1 = Utf8ToLatin1(text);
    auto field = bytes_.begin() + static_cast<std::ptrdiff_t>(Index(block_offset));
    std::size_t kept = std::min(width, latin1.size());
    std::copy_n(latin1.begin(), kept, field);
    std::fill(field + static_cast<std::ptrdiff_t>(kept), field + static_cast<std::ptrdiff_t>(width),
              std::uint8_t{' '});
}

} // namespace songinfo
