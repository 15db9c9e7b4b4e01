#pragma once

// Compares decoded PCM with a reference the way the shared pcmcmp tool does:
// the two are aligned by the shift (in whole sample frames) that gives the
// lowest error, since a decoder that skips first frames for lack of main
// data starts later, and then compared over their overlap.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace testsupport {

struct PcmComparison {
    double psnr = 0.0;
    int max_diff = 0;
    int shift = 0;
    double coverage = 0.0; // overlap / reference length
};

inline PcmComparison ComparePcm(const std::vector<std::int16_t>& test,
                                const std::vector<std::int16_t>& ref, int channels,
                                int max_shift = 4608) {
    const long nt = static_cast<long>(test.size()) / channels;
    const long nr = static_cast<long>(ref.size()) / channels;
    // Mean squared error at `shift` (test[i + shift] against ref[i]),
    // sampling every `step`-th frame; none when the overlap is too short.
    auto error = [&](long shift, long step) -> std::optional<double> {
        const long lo = std::max(0L, -shift);
        const long hi = std::min(nr, nt - shift);
        if (hi <= lo || hi - lo < std::min(nr, nt) / 2)
            return std::nullopt;
        double sum = 0.0;
        long n = 0;
        for (long i = lo; i < hi; i += step)
            for (int c = 0; c < channels; ++c) {
                const double d = test[(i + shift) * channels + c] - ref[i * channels + c];
                sum += d * d;
                ++n;
            }
        return sum / static_cast<double>(std::max(n, 1L));
    };
    auto best_shift = [&](long from, long to, long stride, long step, long fallback) {
        std::optional<double> best;
        long at = fallback;
        for (long shift = from; shift <= to; shift += stride) {
            const auto e = error(shift, step);
            if (e && (!best || *e < *best)) {
                best = e;
                at = shift;
            }
        }
        return at;
    };
    const long coarse = best_shift(-max_shift, max_shift, 32, 97, 0);
    const long shift = best_shift(coarse - 32, coarse + 32, 1, 13, coarse);

    PcmComparison result;
    result.shift = static_cast<int>(shift);
    const long lo = std::max(0L, -shift);
    const long hi = std::min(nr, nt - shift);
    double sum = 0.0;
    long n = 0;
    for (long i = lo; i < hi; ++i)
        for (int c = 0; c < channels; ++c) {
            const int d = test[(i + shift) * channels + c] - ref[i * channels + c];
            sum += static_cast<double>(d) * d;
            ++n;
            result.max_diff = std::max(result.max_diff, std::abs(d));
        }
    const double mse = sum / static_cast<double>(std::max(n, 1L));
    result.psnr = mse == 0.0 ? 99.0 : 10.0 * std::log10(32767.0 * 32767.0 / mse);
    result.coverage = nr > 0 ? static_cast<double>(std::max(0L, hi - lo)) / nr : 0.0;
    return result;
}

} // namespace testsupport
