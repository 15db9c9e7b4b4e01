#include "Interleaver.h"

#include <algorithm>

namespace audiocore {

void Interleaver::Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count,
                        std::uint8_t* area, std::uint32_t bytes) {
    if (channel >= channels_)
        return;
    const std::uint32_t step = Step();
    const std::uint32_t at = cursor_[channel];
    const std::size_t room = at + 2 <= bytes ? (bytes - at - 2) / step + 1 : 0;
    const std::size_t n = std::min(count, room);
    std::uint8_t* out = area + at;
    for (std::size_t i = 0; i < n; ++i, out += step) {
        // Little-endian whatever the host: the compiler makes this one store.
        const auto s = static_cast<std::uint16_t>(samples[i]);
        out[0] = static_cast<std::uint8_t>(s);
        out[1] = static_cast<std::uint8_t>(s >> 8);
    }
    cursor_[channel] = at + static_cast<std::uint32_t>(n) * step;
}

} // namespace audiocore
