#include "Interleaver.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Two channels, eight samples at a time: each sample spread into its half of
// a 32-bit pair, merged with the other channel's half already there. `base`
// is the first pair's start; 4 n bytes from it lie inside the area.
void StorePairs(std::uint32_t channel, const std::int16_t* samples, std::size_t n,
                std::uint8_t* base) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i other = _mm_set1_epi32(channel == 0 ? static_cast<int>(0xFFFF0000u) : 0xFFFF);
    for (std::size_t i = 0; i < n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + i));
        const __m128i low =
            channel == 0 ? _mm_unpacklo_epi16(v, zero) : _mm_unpacklo_epi16(zero, v);
        const __m128i high =
            channel == 0 ? _mm_unpackhi_epi16(v, zero) : _mm_unpackhi_epi16(zero, v);
        auto* out = reinterpret_cast<__m128i*>(base + 4 * i);
        _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(_mm_loadu_si128(out), other), low));
        _mm_storeu_si128(out + 1,
                         _mm_or_si128(_mm_and_si128(_mm_loadu_si128(out + 1), other), high));
    }
}

// The x86-64 baseline, little-endian as the file: two channels in whole
// blocks of eight. False when the samples do not come that way.
bool StoreInBlocks(std::uint32_t channels, std::uint32_t channel, const std::int16_t* samples,
                   std::size_t n, std::uint8_t* area, std::uint32_t at, std::uint32_t bytes) {
    const std::uint32_t base = at - 2 * channel;
    if (channels != 2 || n % 8 != 0 || base + 4 * n > bytes)
        return false;
    StorePairs(channel, samples, n, area + base);
    return true;
}
#else
bool StoreInBlocks(std::uint32_t, std::uint32_t, const std::int16_t*, std::size_t, std::uint8_t*,
                   std::uint32_t, std::uint32_t) {
    return false;
}
#endif

} // namespace

void Interleave(const std::int16_t* left, const std::int16_t* right, std::size_t n,
                std::uint8_t* out) {
    if (!right) {
        StoreEvery<1>(left, n, out);
        return;
    }
    std::size_t i = 0;
#if defined(__SSE2__)
    // Little-endian as the file: eight pairs a step.
    for (; i + 8 <= n; i += 8) {
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + i));
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right + i));
        auto* pairs = reinterpret_cast<__m128i*>(out + 4 * i);
        _mm_storeu_si128(pairs, _mm_unpacklo_epi16(l, r));
        _mm_storeu_si128(pairs + 1, _mm_unpackhi_epi16(l, r));
    }
#endif
    StoreEvery<2>(left + i, n - i, out + 4 * i);
    StoreEvery<2>(right + i, n - i, out + 4 * i + 2);
}

void Interleaver::Store(std::uint32_t channel, const std::int16_t* samples, std::size_t count,
                        std::uint8_t* area, std::uint32_t bytes) {
    if (channel >= channels_)
        return;
    const std::uint32_t step = Step();
    const std::uint32_t at = cursor_[channel];
    const std::size_t room = at + 2 <= bytes ? (bytes - at - 2) / step + 1 : 0;
    const std::size_t n = std::min(count, room);
    if (n == 0)
        return;
    if (!StoreInBlocks(channels_, channel, samples, n, area, at, bytes)) {
        if (channels_ == 2)
            StoreEvery<2>(samples, n, area + at);
        else
            StoreEvery<1>(samples, n, area + at);
    }
    cursor_[channel] = at + static_cast<std::uint32_t>(n) * step;
}

} // namespace audiocore
