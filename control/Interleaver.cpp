#include "Interleaver.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace audiocore {

namespace {

// Little-endian whatever the host; on a little-endian one each sample is a
// single 16-bit store.
template <std::size_t kEvery>
void StoreEvery(const std::int16_t* samples, std::size_t n, std::uint8_t* out) {
    for (std::size_t i = 0; i < n; ++i) {
        std::uint16_t s = static_cast<std::uint16_t>(samples[i]);
        if constexpr (std::endian::native == std::endian::big)
            s = static_cast<std::uint16_t>(s << 8 | s >> 8);
        std::memcpy(out + 2 * kEvery * i, &s, 2);
    }
}

} // namespace

void Interleaver::Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count,
                        std::uint8_t* area, std::uint32_t bytes) {
    if (channel >= channels_)
        return;
    const std::uint32_t step = Step();
    const std::uint32_t at = cursor_[channel];
    const std::size_t room = at + 2 <= bytes ? (bytes - at - 2) / step + 1 : 0;
    const std::size_t n = std::min(count, room);
    std::uint8_t* out = area + at;
    if (channels_ == 2)
        StoreEvery<2>(samples, n, out);
    else
        StoreEvery<1>(samples, n, out);
    cursor_[channel] = at + static_cast<std::uint32_t>(n) * step;
}

} // namespace audiocore
