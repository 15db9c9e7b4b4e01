#include "Layer3Imdct.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audiocore {

namespace {

constexpr double kPi = std::numbers::pi;

// The long transform is an 18-point DCT-IV,
//   y[m] = sum_k X[k] cos(pi / 72 (2 m + 1) (2 k + 1)),
// read out with a shift: raw[i] = window[i] * (y[i + 9] for i < 9,
// -y[26 - i] for 9 <= i < 27, -y[i - 27] above). The DCT-IV is computed as
// u[k] = 2 cos(pi (2 k + 1) / 72) X[k], w = DCT-II(u), y[0] = w[0] / 2,
// y[m] = w[m] - y[m - 1]; the 18-point DCT-II splits into a 9-point DCT-II
// of u[k] + u[17 - k] (even outputs) and a 9-point DCT-IV of u[k] - u[17 - k]
// (odd outputs), which is a 9-point DCT-II by the same recurrence.
struct ImdctTables {
    float pre18[18];  // 2 cos(pi (2k + 1) / 72)
    float pre9[9];    // 2 cos(pi (2k + 1) / 36)
    float dct9[9][4]; // cos(pi (2k + 1) p / 18), k = 0..3
    float half_dct9_center[9];
    // Window times the sign of the read-out, and where each output reads y.
    float window[4][36];
    int source[36];
    // Short blocks: 6-point DCT-IV and the 12-point window with the signs of
    // its read-out.
    float dct6[6][6];
    float short_window[12];
    int short_source[12];

    ImdctTables() {
        for (int k = 0; k < 18; ++k)
            pre18[k] = static_cast<float>(2.0 * std::cos(kPi * (2 * k + 1) / 72.0));
        for (int k = 0; k < 9; ++k)
            pre9[k] = static_cast<float>(2.0 * std::cos(kPi * (2 * k + 1) / 36.0));
        for (int p = 0; p < 9; ++p) {
            for (int k = 0; k < 4; ++k)
                dct9[p][k] = static_cast<float>(std::cos(kPi * (2 * k + 1) * p / 18.0));
            half_dct9_center[p] = static_cast<float>(std::cos(kPi * 9 * p / 18.0));
        }

        double iso[4][36];
        for (int i = 0; i < 36; ++i)
            iso[0][i] = std::sin(kPi / 36.0 * (i + 0.5));
        for (int i = 0; i < 36; ++i) {
            iso[1][i] = i < 18   ? iso[0][i]
                        : i < 24 ? 1.0
                        : i < 30 ? std::sin(kPi / 12.0 * (i - 17.5))
                                 : 0.0;
            iso[3][i] = i < 6    ? 0.0
                        : i < 12 ? std::sin(kPi / 12.0 * (i - 5.5))
                        : i < 18 ? 1.0
                                 : iso[0][i];
            iso[2][i] = 0.0; // short blocks have their own path
        }
        for (int i = 0; i < 36; ++i) {
            const double sign = i < 9 ? 1.0 : -1.0;
            source[i] = i < 9 ? i + 9 : i < 27 ? 26 - i : i - 27;
            for (int bt = 0; bt < 4; ++bt)
                window[bt][i] = static_cast<float>(sign * iso[bt][i]);
        }

        for (int m = 0; m < 6; ++m)
            for (int k = 0; k < 6; ++k)
                dct6[m][k] = static_cast<float>(std::cos(kPi / 24.0 * (2 * m + 1) * (2 * k + 1)));
        for (int i = 0; i < 12; ++i) {
            const double sign = i < 3 ? 1.0 : -1.0;
            short_source[i] = i < 3 ? i + 3 : i < 9 ? 8 - i : i - 9;
            short_window[i] = static_cast<float>(sign * std::sin(kPi / 12.0 * (i + 0.5)));
        }
    }
};
const ImdctTables kImdct;

// out[p] = sum_{k=0..8} v[k] cos(pi (2 k + 1) p / 18), using the symmetry of
// lines k and 8 - k.
void Dct9(const float* v, float* out) {
    float sum[4];
    float diff[4];
    for (int k = 0; k < 4; ++k) {
        sum[k] = v[k] + v[8 - k];
        diff[k] = v[k] - v[8 - k];
    }
    for (int p = 0; p < 9; ++p) {
        const float* c = kImdct.dct9[p];
        const float* s = (p & 1) ? diff : sum;
        out[p] = s[0] * c[0] + s[1] * c[1] + s[2] * c[2] + s[3] * c[3] +
                 v[4] * kImdct.half_dct9_center[p];
    }
}

// y[m] = sum_k X[k] cos(pi / 72 (2 m + 1) (2 k + 1)), m, k = 0..17.
void Dct4Of18(const float* x, float* y) {
    float u[18];
    for (int k = 0; k < 18; ++k)
        u[k] = x[k] * kImdct.pre18[k];
    float even_in[9];
    float odd_in[9];
    for (int k = 0; k < 9; ++k) {
        even_in[k] = u[k] + u[17 - k];
        odd_in[k] = (u[k] - u[17 - k]) * kImdct.pre9[k];
    }
    float even[9];
    float odd_dct2[9];
    Dct9(even_in, even);
    Dct9(odd_in, odd_dct2);
    // w[2p] = even[p]; w[2p + 1] = DCT-IV of the differences, from its
    // DCT-II by the recurrence.
    float w[18];
    float previous = odd_dct2[0] * 0.5f;
    w[1] = previous;
    for (int p = 1; p < 9; ++p) {
        previous = odd_dct2[p] - previous;
        w[2 * p + 1] = previous;
    }
    for (int p = 0; p < 9; ++p)
        w[2 * p] = even[p];
    y[0] = w[0] * 0.5f;
    for (int m = 1; m < 18; ++m)
        y[m] = w[m] - y[m - 1];
}

void ShortImdct(const float* in, float* raw) {
    std::fill(raw, raw + 36, 0.0f);
    for (int window = 0; window < 3; ++window) {
        float z[6];
        for (int m = 0; m < 6; ++m) {
            float sum = 0.0f;
            for (int k = 0; k < 6; ++k)
                sum += in[3 * k + window] * kImdct.dct6[m][k];
            z[m] = sum;
        }
        float* target = raw + 6 + 6 * window;
        for (int i = 0; i < 12; ++i)
            target[i] += kImdct.short_window[i] * z[kImdct.short_source[i]];
    }
}

bool AllZero(const float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (values[i] != 0.0f)
            return false;
    return true;
}

} // namespace

void Imdct(const float* in, float* raw, int block_type) {
    if (block_type == 2) {
        ShortImdct(in, raw);
        return;
    }
    float y[18];
    Dct4Of18(in, y);
    const float* window = kImdct.window[block_type & 3];
    for (int i = 0; i < 36; ++i)
        raw[i] = window[i] * y[kImdct.source[i]];
}

void HybridSynthesis(const GranuleInfo& g, float* out, float* prev) {
    float raw[36];
    for (int sb = 0; sb < 32; ++sb) {
        float* lines = out + 18 * sb;
        float* overlap = prev + 18 * sb;
        if (AllZero(lines, 18)) {
            // A silent subband's transform is 0: only the overlap remains.
            std::copy(overlap, overlap + 18, lines);
            std::fill(overlap, overlap + 18, 0.0f);
        } else {
            const bool long_part =
                g.window_switching_flag == 1 && g.mixed_block_flag == 1 && sb < 2;
            Imdct(lines, raw, long_part ? 0 : static_cast<int>(g.block_type & 3u));
            for (int i = 0; i < 18; ++i) {
                lines[i] = raw[i] + overlap[i];
                overlap[i] = raw[18 + i];
            }
        }
        if (sb & 1)
            for (int ss = 1; ss < 18; ss += 2)
                lines[ss] = -lines[ss];
    }
}

} // namespace audiocore
