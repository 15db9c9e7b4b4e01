#include "Layer3Imdct.h"

#include "WindowSum.h"
#include "tables/TransformTables.h"

#include <algorithm>

namespace audiocore {

namespace {

constexpr int kLanes = kSubbands;

// The long transform is an 18-point DCT-IV,
//   y[m] = sum_k X[k] cos(pi / 72 (2 m + 1) (2 k + 1)),
// read out with a shift: raw[i] = window[i] * (y[i + 9] for i < 9,
// -y[26 - i] for 9 <= i < 27, -y[i - 27] above). The DCT-IV is computed as
// u[k] = 2 cos(pi (2 k + 1) / 72) X[k], w = DCT-II(u), y[0] = w[0] / 2,
// y[m] = w[m] - y[m - 1]; the 18-point DCT-II splits into a 9-point DCT-II
// of u[k] + u[17 - k] (even outputs) and a 9-point DCT-IV of u[k] - u[17 - k]
// (odd outputs), which is a 9-point DCT-II by the same recurrence.
//
// The cosines and the windows are generated (tables/TransformTables.h);
// these are where each output reads y and the frequency inversion's signs.
struct ImdctTables {
    int source[kImdctOutputs];
    int short_source[12];
    // +1 for even subbands, -1 for odd ones.
    float inversion[kLanes];

    ImdctTables() {
        for (int i = 0; i < kImdctOutputs; ++i)
            source[i] = i < 9 ? i + 9 : i < 27 ? 26 - i : i - 27;
        for (int i = 0; i < 12; ++i)
            short_source[i] = i < 3 ? i + 3 : i < 9 ? 8 - i : i - 9;
        for (int s = 0; s < kLanes; ++s)
            inversion[s] = (s & 1) ? -1.0f : 1.0f;
    }
};
const ImdctTables kImdct;

// The long transforms of all 32 subbands run side by side: every array below
// holds one value per subband ("lane"), so each step is one loop over the
// lanes that the compiler turns into vector instructions.
using LaneArray = float[kLanes];

// out[p] = sum_{k=0..8} v[k] cos(pi (2 k + 1) p / 18), using the symmetry of
// lines k and 8 - k.
[[gnu::always_inline]] inline void Dct9(const LaneArray* __restrict v, LaneArray* __restrict out) {
    alignas(16) float sum[4][kLanes];
    alignas(16) float diff[4][kLanes];
    for (int k = 0; k < 4; ++k)
        for (int s = 0; s < kLanes; ++s) {
            sum[k][s] = v[k][s] + v[8 - k][s];
            diff[k][s] = v[k][s] - v[8 - k][s];
        }
    for (int p = 0; p < 9; ++p) {
        const float* c = kImdctDct9[p];
        const float center = kImdctDct9Center[p];
        const LaneArray* part = (p & 1) ? diff : sum;
        for (int s = 0; s < kLanes; ++s)
            out[p][s] = part[0][s] * c[0] + part[1][s] * c[1] + part[2][s] * c[2] +
                        part[3][s] * c[3] + v[4][s] * center;
    }
}

// y[m] = sum_k x[k] cos(pi / 72 (2 m + 1) (2 k + 1)), m, k = 0..17, per lane.
[[gnu::always_inline]] inline void Dct4Of18(const LaneArray* __restrict x,
                                            LaneArray* __restrict y) {
    alignas(16) float even_in[9][kLanes];
    alignas(16) float odd_in[9][kLanes];
    for (int k = 0; k < 9; ++k) {
        const float pre_low = kImdctPre18[k];
        const float pre_high = kImdctPre18[17 - k];
        const float pre_odd = kImdctPre9[k];
        for (int s = 0; s < kLanes; ++s) {
            const float low = x[k][s] * pre_low;
            const float high = x[17 - k][s] * pre_high;
            even_in[k][s] = low + high;
            odd_in[k][s] = (low - high) * pre_odd;
        }
    }
    alignas(16) float even[9][kLanes];
    alignas(16) float odd[9][kLanes];
    Dct9(even_in, even);
    Dct9(odd_in, odd);
    // w[2p] = even[p]; w[2p + 1], the DCT-IV of the differences, from its
    // DCT-II by the recurrence; then y from w by the same recurrence.
    for (int s = 0; s < kLanes; ++s)
        odd[0][s] *= 0.5f;
    for (int p = 1; p < 9; ++p)
        for (int s = 0; s < kLanes; ++s)
            odd[p][s] -= odd[p - 1][s];
    for (int s = 0; s < kLanes; ++s)
        y[0][s] = even[0][s] * 0.5f;
    for (int m = 1; m < 18; ++m) {
        const float* __restrict w = (m & 1) ? odd[m / 2] : even[m / 2];
        const float* __restrict before = y[m - 1];
        float* __restrict row = y[m];
        for (int s = 0; s < kLanes; ++s)
            row[s] = w[s] - before[s];
    }
}

// The 18-point DCT-IV of every subband of lines[576], by lane.
[[gnu::always_inline]] inline void LongTransforms(const float* lines, LaneArray* y) {
    alignas(16) float x[kSubbandLines][kLanes];
    for (int sb = 0; sb < kLanes; ++sb)
        for (int k = 0; k < kSubbandLines; ++k)
            x[k][sb] = lines[kSubbandLines * sb + k];
    Dct4Of18(x, y);
}

void ShortImdct(const float* in, float* raw) {
    std::fill(raw, raw + kImdctOutputs, 0.0f);
    for (int window = 0; window < 3; ++window) {
        float z[6];
        for (int m = 0; m < 6; ++m) {
            float sum = 0.0f;
            for (int k = 0; k < 6; ++k)
                sum += in[3 * k + window] * kImdctDct6[m][k];
            z[m] = sum;
        }
        float* target = raw + 6 + 6 * window;
        for (int i = 0; i < 12; ++i)
            target[i] += kImdctShortWindow[i] * z[kImdct.short_source[i]];
    }
}

} // namespace

void Imdct(const float* in, float* raw, int block_type) {
    if (block_type == 2) {
        ShortImdct(in, raw);
        return;
    }
    float lines[kGranuleLines] = {};
    std::copy(in, in + kSubbandLines, lines);
    alignas(16) float y[kSubbandLines][kLanes];
    LongTransforms(lines, y);
    const float* window = kImdctWindows[block_type & 3];
    for (int i = 0; i < kImdctOutputs; ++i)
        raw[i] = window[i] * y[kImdct.source[i]][0];
}

namespace {

[[gnu::always_inline]] inline void HybridBody(const GranuleInfo& g, const float* in,
                                              float (&prev)[kSubbandLines][kSubbands],
                                              float (&out)[kSubbandLines][kSubbands]) {
    const int block_type = static_cast<int>(g.block_type & 3u);
    const bool mixed = g.window_switching_flag == 1 && g.mixed_block_flag == 1;
    alignas(16) float y[kSubbandLines][kLanes];
    if (block_type != 2 || mixed)
        LongTransforms(in, y);

    if (block_type != 2 && !mixed) {
        // All subbands long with one window: the whole overlap-add runs by
        // lane.
        const float* window = kImdctWindows[block_type];
        for (int i = 0; i < kSubbandLines; ++i) {
            const float* first = y[kImdct.source[i]];
            const float* second = y[kImdct.source[kSubbandLines + i]];
            const float w_first = window[i];
            const float w_second = window[kSubbandLines + i];
            for (int s = 0; s < kLanes; ++s) {
                out[i][s] = w_first * first[s] + prev[i][s];
                prev[i][s] = w_second * second[s];
            }
        }
    } else {
        // A mixed block's two lowest subbands are long with the normal
        // window; the others have the granule's block type.
        float raw[kImdctOutputs];
        for (int sb = 0; sb < kLanes; ++sb) {
            const int type = mixed && sb < 2 ? 0 : block_type;
            if (type == 2) {
                ShortImdct(in + kSubbandLines * sb, raw);
            } else {
                const float* window = kImdctWindows[type];
                for (int i = 0; i < kImdctOutputs; ++i)
                    raw[i] = window[i] * y[kImdct.source[i]][sb];
            }
            for (int i = 0; i < kSubbandLines; ++i) {
                out[i][sb] = raw[i] + prev[i][sb];
                prev[i][sb] = raw[kSubbandLines + i];
            }
        }
    }

    // The polyphase filter bank expects every odd sample of every odd
    // subband negated.
    for (int i = 1; i < kSubbandLines; i += 2)
        for (int s = 0; s < kLanes; ++s)
            out[i][s] *= kImdct.inversion[s];
}

void HybridBaseline(const GranuleInfo& g, const float* in, float (&prev)[kSubbandLines][kSubbands],
                    float (&out)[kSubbandLines][kSubbands]) {
    HybridBody(g, in, prev, out);
}

// The lanes eight at a time, with the baseline's roundings.
AUDIOCORE_AVX2 void HybridAvx2(const GranuleInfo& g, const float* in,
                               float (&prev)[kSubbandLines][kSubbands],
                               float (&out)[kSubbandLines][kSubbands]) {
    HybridBody(g, in, prev, out);
}

} // namespace

void HybridSynthesis(const GranuleInfo& g, const float* in, float (&prev)[kSubbandLines][kSubbands],
                     float (&out)[kSubbandLines][kSubbands]) {
    if (CurrentVectorPath() == VectorPath::Avx2)
        HybridAvx2(g, in, prev, out);
    else
        HybridBaseline(g, in, prev, out);
}

} // namespace audiocore
