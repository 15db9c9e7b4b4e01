#include "Layer3Stereo.h"

#include "Layer3Requantiser.h"
#include "tables/Layer3Bands.h"
#include "tables/PowerTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audiocore {

namespace {

constexpr float kInvSqrt2 = 0.70710677f;

struct IntensityTables {
    // MPEG-1: tan(p * pi / 12); p = 6 is infinite and held as a large value
    // that sends everything to the left channel.
    float tan12[16];

    IntensityTables() {
        for (int p = 0; p < 16; ++p)
            tan12[p] = static_cast<float>(std::tan(p * std::numbers::pi / 12.0));
        tan12[6] = 1.0e11f;
    }
};
const IntensityTables kIntensity;

// Highest line of `ro` in begin..end - 1 that is not 0, or begin - 1.
int LastNonZero(const float* ro, int begin, int end) {
    int line = end - 1;
    while (line >= begin && ro[line] == 0.0f)
        --line;
    return line;
}

} // namespace

void Layer3Stereo::SetPosition(int line, int position) {
    // MPEG-1 codes positions 0..6; 7 marks a band without intensity, and
    // larger values (a damaged stream) would divide by zero at 9, so they
    // are treated as 7 too.
    if (position == kNoPosition || (!lsf_ && position > 6)) {
        is_pos_[line] = kNoPosition;
        return;
    }
    is_pos_[line] = position;
    if (!lsf_) {
        is_ratio_[line] = kIntensity.tan12[position];
        return;
    }
    // The ratio 2^(-i / 4) at scale 0, 2^(-i / 2) at scale 1.
    const float* io = io_type_ == 0 ? kQuarterSteps : kHalfSteps;
    if (position == 0) {
        k_[0][line] = k_[1][line] = 1.0f;
    } else if (position & 1) {
        k_[0][line] = io[(position + 1) / 2];
        k_[1][line] = 1.0f;
    } else {
        k_[0][line] = 1.0f;
        k_[1][line] = io[position / 2];
    }
}

void Layer3Stereo::CopyPosition(int to, int from) {
    is_pos_[to] = is_pos_[from];
    is_ratio_[to] = is_ratio_[from];
    k_[0][to] = k_[0][from];
    k_[1][to] = k_[1][from];
}

// Long bands above `last` (the right channel's last non-zero line), up to
// band last_band - 1, take their positions from the right scale factors.
void Layer3Stereo::FindLongPositions(const ScaleFactors& right, const ScaleFactorBands& bands,
                                     int last, int last_band) {
    int band = 0;
    while (band < last_band && bands.l[band] <= last)
        ++band;
    for (; band < last_band; ++band)
        for (int line = bands.l[band]; line < bands.l[band + 1]; ++line)
            SetPosition(line, right.l[band]);
}

void Layer3Stereo::FindShortPositions(const GranuleInfo& g, const ScaleFactors& right,
                                      const ScaleFactorBands& bands, const float* ro1) {
    const bool mixed = g.mixed_block_flag == 1;
    const int lowest_band = mixed ? 3 : 0;
    int highest_start = 0;
    for (int window = 0; window < kShortWindows; ++window) {
        // The window's highest band with a non-zero right line; intensity
        // starts above it.
        int band = kShortBands - 1;
        for (; band >= lowest_band; --band) {
            const int width = bands.s[band + 1] - bands.s[band];
            const int begin = kShortWindows * bands.s[band] + window * width;
            if (LastNonZero(ro1, begin, begin + width) >= begin)
                break;
        }
        const int start = band + 1;
        highest_start = std::max(highest_start, start);
        for (band = start; band < kShortBands - 1; ++band) {
            const int width = bands.s[band + 1] - bands.s[band];
            const int begin = kShortWindows * bands.s[band] + window * width;
            for (int f = 0; f < width; ++f)
                SetPosition(begin + f, right.s[window][band]);
        }
        // Band 11 of the window takes the position of band 10's first line.
        const int width10 = bands.s[11] - bands.s[10];
        const int from = kShortWindows * bands.s[10] + window * width10;
        const int width11 = bands.s[12] - bands.s[11];
        const int to = kShortWindows * bands.s[11] + window * width11;
        for (int f = 0; f < width11; ++f)
            CopyPosition(to + f, from);
    }
    // A mixed block whose short part is intensity coded throughout may start
    // intensity in its long part already.
    if (mixed && highest_start <= 3)
        FindLongPositions(right, bands, LastNonZero(ro1, 0, kMixedLongLines),
                          MixedLongBands(bands));
}

void Layer3Stereo::Process(const StereoMode& mode, const GranuleInfo (&granules)[2],
                           const ScaleFactors& right, const ScaleFactorBands& bands,
                           const float (&ro)[2][kGranuleLines], float (&lr)[2][kGranuleLines]) {
    if (!mode.intensity) {
        if (mode.mid_side) {
            for (int i = 0; i < kGranuleLines; ++i) {
                const float mid = ro[0][i];
                const float side = ro[1][i];
                lr[0][i] = (mid + side) * kInvSqrt2;
                lr[1][i] = (mid - side) * kInvSqrt2;
            }
        } else {
            std::copy(ro[0], ro[0] + kGranuleLines, lr[0]);
            std::copy(ro[1], ro[1] + kGranuleLines, lr[1]);
        }
        return;
    }

    const GranuleInfo& g0 = granules[0];
    lsf_ = mode.lsf;
    io_type_ = static_cast<int>(granules[1].scalefac_compress & 1u);
    std::fill(is_pos_, is_pos_ + kGranuleLines, kNoPosition);
    if (g0.ShortBlocks()) {
        FindShortPositions(g0, right, bands, ro[1]);
    } else {
        // Line 0 stands for "none": band 0 is never intensity coded.
        FindLongPositions(right, bands, std::max(LastNonZero(ro[1], 0, kGranuleLines), 0),
                          kLongBands - 1);
        // The last band has no scale factor of its own: it continues band 20.
        for (int line = bands.l[kLongBands - 1]; line < kGranuleLines; ++line)
            CopyPosition(line, bands.l[kLongBands - 2]);
    }

    for (int i = 0; i < kGranuleLines; ++i) {
        if (is_pos_[i] == kNoPosition) {
            if (mode.mid_side) {
                lr[0][i] = (ro[0][i] + ro[1][i]) * kInvSqrt2;
                lr[1][i] = (ro[0][i] - ro[1][i]) * kInvSqrt2;
            } else {
                lr[0][i] = ro[0][i];
                lr[1][i] = ro[1][i];
            }
        } else if (lsf_) {
            lr[0][i] = ro[0][i] * k_[0][i];
            lr[1][i] = ro[0][i] * k_[1][i];
        } else {
            lr[1][i] = ro[0][i] / (1.0f + is_ratio_[i]);
            lr[0][i] = lr[1][i] * is_ratio_[i];
        }
    }
}

} // namespace audiocore
