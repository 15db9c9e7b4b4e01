// The frequency-domain steps and the hybrid filter bank: requantisation,
// stereo, reordering and the IMDCT against their direct formulas.

#include "Layer3Imdct.h"
#include "Layer3Requantiser.h"
#include "Layer3Stereo.h"
#include "tables/Layer3Bands.h"
#include "tables/PowerTables.h"
#include "tables/TransformTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace audiocore;

constexpr double kPi = std::numbers::pi;
const ScaleFactorBands& k44 = kScaleFactorBands[3];
const ScaleFactorBands& k22 = kScaleFactorBands[0];

std::vector<float> RequantiseOne(const GranuleInfo& g, const ScaleFactors& sf,
                                 const ScaleFactorBands& bands, int line, int value) {
    std::vector<std::int32_t> spectrum(580, 0);
    spectrum[line] = value;
    std::vector<float> ro(576, -1.0f);
    Requantise(spectrum.data(), 576, g, sf, bands, ro.data());
    return ro;
}

// The power, cosine and sine tables are made by a generator so that
// decoding calls no maths library; every entry must still be what the
// library's double rounds to, or every decoded sample would move.
TEST(MathTables, EveryEntryIsTheLibrarysResultRoundedToFloat) {
    using audiocore::Power43;
    for (int i = 0; i < static_cast<int>(std::size(audiocore::kPow43)); ++i)
        ASSERT_EQ(audiocore::kPow43[i], static_cast<float>(std::pow(double(i), 4.0 / 3.0))) << i;
    EXPECT_EQ(Power43(8206), static_cast<float>(std::pow(8206.0, 4.0 / 3.0)));
    for (int g = 0; g < 256; ++g)
        ASSERT_EQ(audiocore::kGlobalGain[g], static_cast<float>(std::exp2(0.25 * (g - 210)))) << g;
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(audiocore::kHalfSteps[i], static_cast<float>(std::exp2(-0.5 * i))) << i;
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(audiocore::kQuarterSteps[i], static_cast<float>(std::exp2(-0.25 * i))) << i;
    for (int i = 0; i < 63; ++i)
        ASSERT_EQ(audiocore::kLayer12ScaleFactors[i], static_cast<float>(std::exp2(1.0 - i / 3.0)))
            << i;
    EXPECT_EQ(audiocore::kLayer12ScaleFactors[63], 0.0f);

    constexpr double pi = std::numbers::pi;
    // Bit for bit: the windows' zeros keep their signs.
    const auto same = [](float table, double value) {
        const float expected = static_cast<float>(value);
        return std::memcmp(&table, &expected, sizeof table) == 0;
    };
    for (int k = 1; k < 32; ++k)
        EXPECT_TRUE(same(audiocore::kSynthesisFactors[k], 1.0 / (2.0 * std::cos(k * pi / 64.0))));
    for (int k = 0; k < 18; ++k)
        EXPECT_TRUE(same(audiocore::kImdctPre18[k], 2.0 * std::cos(pi * (2 * k + 1) / 72.0)));
    for (int k = 0; k < 9; ++k)
        EXPECT_TRUE(same(audiocore::kImdctPre9[k], 2.0 * std::cos(pi * (2 * k + 1) / 36.0)));
    for (int p = 0; p < 9; ++p) {
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(same(audiocore::kImdctDct9[p][k], std::cos(pi * (2 * k + 1) * p / 18.0)));
        EXPECT_TRUE(same(audiocore::kImdctDct9Center[p], std::cos(pi * 9 * p / 18.0)));
    }
    for (int m = 0; m < 6; ++m)
        for (int k = 0; k < 6; ++k)
            EXPECT_TRUE(
                same(audiocore::kImdctDct6[m][k], std::cos(pi / 24.0 * (2 * m + 1) * (2 * k + 1))));
    for (int i = 0; i < 36; ++i) {
        // Normal, start, short (its own path) and stop windows; negated from
        // output 9 on, zeros included.
        const double sign = i < 9 ? 1.0 : -1.0;
        const double normal = std::sin(pi / 36.0 * (i + 0.5));
        const double start = i < 18   ? normal
                             : i < 24 ? 1.0
                             : i < 30 ? std::sin(pi / 12.0 * (i - 17.5))
                                      : 0.0;
        const double stop = i < 6    ? 0.0
                            : i < 12 ? std::sin(pi / 12.0 * (i - 5.5))
                            : i < 18 ? 1.0
                                     : normal;
        EXPECT_TRUE(same(audiocore::kImdctWindows[0][i], sign * normal)) << i;
        EXPECT_TRUE(same(audiocore::kImdctWindows[1][i], sign * start)) << i;
        EXPECT_TRUE(same(audiocore::kImdctWindows[2][i], sign * 0.0)) << i;
        EXPECT_TRUE(same(audiocore::kImdctWindows[3][i], sign * stop)) << i;
    }
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(same(audiocore::kImdctShortWindow[i],
                         (i < 3 ? 1.0 : -1.0) * std::sin(pi / 12.0 * (i + 0.5))))
            << i;
}

TEST(Layer3Requantiser, GainsScaleFactorsAndPreemphasis) {
    struct Case {
        const char* name;
        int global_gain;
        int scalefac_scale;
        bool preflag;
        int line;
        int band_sf;
        int value;
        double expect;
    };
    // Line 140 is in long band 15 at 44.1 kHz, where pretab is 2.
    const Case cases[] = {
        {"unit gain", 210, 0, false, 3, 0, 8, 16.0},
        {"negative", 210, 0, false, 3, 0, -8, -16.0},
        {"global gain step", 214, 0, false, 3, 0, 1, 2.0},
        {"scale factor step sqrt 2", 210, 0, false, 3, 2, 1, 0.5},
        {"scalefac_scale doubles the step", 210, 1, false, 3, 3, 1, 0.125},
        {"preemphasis", 210, 0, true, 140, 1, 1, std::pow(2.0, -1.5)},
        {"beyond the power table", 210, 0, false, 3, 0, 8206, std::pow(8206.0, 4.0 / 3.0)},
    };
    for (const Case& c : cases) {
        GranuleInfo g;
        g.global_gain = static_cast<std::uint32_t>(c.global_gain);
        g.scalefac_scale = static_cast<std::uint32_t>(c.scalefac_scale);
        g.preflag = c.preflag;
        ScaleFactors sf;
        for (int& v : sf.l)
            v = c.band_sf;
        const std::vector<float> ro = RequantiseOne(g, sf, k44, c.line, c.value);
        EXPECT_NEAR(ro[c.line], c.expect, std::abs(c.expect) * 1e-6) << c.name;
        EXPECT_EQ(ro[c.line + 1], 0.0f) << c.name;
    }
}

TEST(Layer3Requantiser, LsfMixedBlocksSwitchToShortBandsAtLine36) {
    // At 22.05 kHz the six long bands end at line 36, where short band 3
    // (12..17 in each window) begins.
    GranuleInfo g;
    g.global_gain = 210;
    g.window_switching_flag = 1;
    g.block_type = 2;
    g.mixed_block_flag = 1;
    ScaleFactors sf;
    sf.l[5] = 2;
    sf.l[6] = 4;
    sf.s[0][3] = 6;
    sf.s[1][3] = 8;
    EXPECT_EQ(MixedLongBands(k22), 6);
    EXPECT_EQ(MixedLongBands(k44), 8);
    EXPECT_FLOAT_EQ(RequantiseOne(g, sf, k22, 35, 1)[35], 0.5f);    // long band 5
    EXPECT_FLOAT_EQ(RequantiseOne(g, sf, k22, 36, 1)[36], 0.125f);  // short band 3, window 0
    EXPECT_FLOAT_EQ(RequantiseOne(g, sf, k22, 42, 1)[42], 0.0625f); // window 1
}

struct StereoResult {
    float left;
    float right;
};

StereoResult StereoOf(const StereoMode& mode, int position, float mid, float side_value,
                      std::uint32_t right_compress = 0) {
    GranuleInfo granules[2];
    granules[1].scalefac_compress = right_compress;
    ScaleFactors right;
    for (int& v : right.l)
        v = position;
    // ro[1] is zero above line 0, so bands 1.. are intensity coded.
    float ro[2][576] = {};
    float lr[2][576] = {};
    ro[0][100] = mid;
    ro[1][100] = side_value;
    ro[1][0] = 1.0f;
    Layer3Stereo stereo;
    stereo.Process(mode, granules, right, k44, ro, lr);
    return {lr[0][100], lr[1][100]};
}

TEST(Layer3Stereo, MidSideAndIntensityRules) {
    StereoMode ms;
    ms.mid_side = true;
    const StereoResult a = StereoOf(ms, 0, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(a.left, 2.0f * 0.70710677f);
    EXPECT_FLOAT_EQ(a.right, 0.0f);

    StereoMode is;
    is.intensity = true;
    // Position 0: all right; 3: equal; 6: all left.
    const StereoResult p0 = StereoOf(is, 0, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(p0.left, 0.0f);
    EXPECT_FLOAT_EQ(p0.right, 1.0f);
    const StereoResult p3 = StereoOf(is, 3, 1.0f, 0.0f);
    EXPECT_NEAR(p3.left, 0.5f, 1e-6);
    EXPECT_NEAR(p3.right, 0.5f, 1e-6);
    const StereoResult p6 = StereoOf(is, 6, 1.0f, 0.0f);
    EXPECT_NEAR(p6.left, 1.0f, 1e-6);
    EXPECT_NEAR(p6.right, 0.0f, 1e-6);
    // Position 7 is no intensity; 9 would divide by zero and is treated as
    // no intensity too.
    for (int position : {7, 9}) {
        const StereoResult r = StereoOf(is, position, 1.0f, 0.25f);
        EXPECT_FLOAT_EQ(r.left, 1.0f) << position;
        EXPECT_FLOAT_EQ(r.right, 0.25f) << position;
    }

    StereoMode lsf;
    lsf.intensity = true;
    lsf.lsf = true;
    // The right channel's scalefac_compress even: odd position 3 scales the
    // left by 2^(-2/4); even position 2 scales the right by 2^(-1/4).
    const StereoResult l3 = StereoOf(lsf, 3, 1.0f, 0.0f);
    EXPECT_NEAR(l3.left, std::pow(2.0, -0.5), 1e-6);
    EXPECT_FLOAT_EQ(l3.right, 1.0f);
    const StereoResult l2 = StereoOf(lsf, 2, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(l2.left, 1.0f);
    EXPECT_NEAR(l2.right, std::pow(2.0, -0.25), 1e-6);
    // Odd: steps of 2^(-1/2).
    const StereoResult odd_scale = StereoOf(lsf, 2, 1.0f, 0.0f, 1);
    EXPECT_NEAR(odd_scale.right, std::pow(2.0, -0.5), 1e-6);
}

TEST(Layer3Stereo, IntensityStartsAboveTheRightChannelsLastLine) {
    GranuleInfo granules[2];
    ScaleFactors right; // position 0: everything to the right channel
    float ro[2][576] = {};
    float lr[2][576] = {};
    std::fill(ro[0], ro[0] + 576, 1.0f);
    ro[1][40] = 0.5f; // band 8 at 44.1 kHz (lines 36..43)
    StereoMode is;
    is.intensity = true;
    Layer3Stereo stereo;
    stereo.Process(is, granules, right, k44, ro, lr);
    EXPECT_FLOAT_EQ(lr[1][43], 0.0f); // band 8 is coded as it stands
    EXPECT_FLOAT_EQ(lr[1][44], 1.0f); // band 9 on is intensity coded
    EXPECT_FLOAT_EQ(lr[0][44], 0.0f);
    EXPECT_FLOAT_EQ(lr[1][575], 1.0f); // the last band follows band 20
}

// raw[i] by the direct formulas.
std::vector<double> DirectImdct(const float* in, int block_type) {
    std::vector<double> raw(36, 0.0);
    if (block_type == 2) {
        for (int w = 0; w < 3; ++w)
            for (int i = 0; i < 12; ++i) {
                double sum = 0.0;
                for (int k = 0; k < 6; ++k)
                    sum += in[3 * k + w] * std::cos(kPi / 24 * (2 * i + 7) * (2 * k + 1));
                raw[6 + 6 * w + i] += std::sin(kPi / 12 * (i + 0.5)) * sum;
            }
        return raw;
    }
    for (int i = 0; i < 36; ++i) {
        double window = std::sin(kPi / 36 * (i + 0.5));
        if (block_type == 1)
            window = i < 18   ? window
                     : i < 24 ? 1.0
                     : i < 30 ? std::sin(kPi / 12 * (i - 17.5))
                              : 0.0;
        if (block_type == 3)
            window = i < 6 ? 0.0 : i < 12 ? std::sin(kPi / 12 * (i - 5.5)) : i < 18 ? 1.0 : window;
        double sum = 0.0;
        for (int k = 0; k < 18; ++k)
            sum += in[k] * std::cos(kPi / 72 * (2 * i + 19) * (2 * k + 1));
        raw[i] = window * sum;
    }
    return raw;
}

TEST(Layer3Imdct, EveryBlockTypeMatchesTheDirectFormula) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
    for (int block_type = 0; block_type < 4; ++block_type)
        for (int trial = 0; trial < 20; ++trial) {
            float in[18];
            for (float& v : in)
                v = value(random);
            float raw[36];
            Imdct(in, raw, block_type);
            const std::vector<double> expect = DirectImdct(in, block_type);
            for (int i = 0; i < 36; ++i)
                ASSERT_NEAR(raw[i], expect[i], 0.05) << "type " << block_type << " i " << i;
        }
}

} // namespace
