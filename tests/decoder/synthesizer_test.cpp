#include "PolyphaseSynthesizer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <numbers>
#include <random>

using namespace audiocore;
using namespace testsupport;

namespace {

std::vector<double> ReadWindow() {
    std::vector<double> d(512);
    std::string text;
    for (std::uint8_t c : ReadFile(SharedPath("data/mpeg-audio-tables/dewindow")))
        text.push_back(static_cast<char>(c));
    std::size_t at = 0;
    for (int i = 0; i < 512; ++i) {
        at = text.find('=', text.find("D[", at));
        d[i] = std::stod(text.substr(at + 1, 20));
    }
    return d;
}

// The filter bank straight from its definition, in double precision: a FIFO
// of 1024 matrixed values, then windowing and summation.
class DirectSynthesis {
public:
    DirectSynthesis() : d_(ReadWindow()), v_(1024, 0.0) {}

    std::vector<double> Run(const float* samples) {
        for (int i = 1023; i >= 64; --i)
            v_[i] = v_[i - 64];
        for (int i = 0; i < 64; ++i) {
            double sum = 0;
            for (int k = 0; k < 32; ++k)
                sum += std::cos((16 + i) * (2 * k + 1) * std::numbers::pi / 64) * samples[k];
            v_[i] = sum;
        }
        std::vector<double> out(32, 0.0);
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 32; ++j) {
                out[j] += v_[128 * i + j] * d_[64 * i + j];
                out[j] += v_[128 * i + 96 + j] * d_[64 * i + 32 + j];
            }
        return out;
    }

private:
    std::vector<double> d_, v_;
};

} // namespace

TEST(PolyphaseSynthesizer, AgreesWithTheDirectFormulasOverManyBlocks) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> amplitude(-0.05f, 0.05f);
    PolyphaseSynthesizer fast(0, 32768.0f);
    DirectSynthesis direct;
    RecordingSink sink(1);
    double worst = 0;
    for (int block = 0; block < 100; ++block) { // wraps the history several times
        float input[32];
        for (float& x : input)
            x = amplitude(random);
        std::copy(input, input + 32, fast.samples);
        fast.Synthesize(sink);
        std::vector<double> expected = direct.Run(input);
        for (int j = 0; j < 32; ++j) {
            double want = std::trunc(expected[j] * 32768.0);
            double got = sink.pcm[32 * block + j];
            worst = std::max(worst, std::fabs(got - want));
        }
    }
    // Single precision against double: at most one step of truncation apart.
    EXPECT_LE(worst, 1.0);
    EXPECT_EQ(sink.pcm.size(), 3200u);
}

TEST(PolyphaseSynthesizer, SilenceStaysSilentAndResetForgetsHistory) {
    PolyphaseSynthesizer synth(1, 32768.0f);
    RecordingSink sink(2);
    for (int i = 0; i < 40; ++i)
        synth.Synthesize(sink);
    for (std::size_t i = 1; i < sink.pcm.size(); i += 2)
        ASSERT_EQ(sink.pcm[i], 0);
    EXPECT_EQ(sink.appended[1], 40u * 32u) << "channel 1 is the one appended";

    // After Reset, a block's output depends on that block alone.
    auto first_block = [](PolyphaseSynthesizer& s) {
        RecordingSink out(1);
        for (int k = 0; k < 32; ++k)
            s.samples[k] = 0.01f * static_cast<float>(k % 5) - 0.02f;
        s.Synthesize(out);
        return out.pcm;
    };
    PolyphaseSynthesizer fresh(0, 32768.0f), used(0, 32768.0f);
    RecordingSink ignored(1);
    for (int i = 0; i < 7; ++i) {
        used.samples[i] = 0.3f;
        used.Synthesize(ignored);
    }
    used.Reset();
    EXPECT_EQ(first_block(used), first_block(fresh));
}

TEST(PolyphaseSynthesizer, OutputDoesNotDependOnTheWritePosition) {
    // A run resumed or seeked mid-stream starts its synthesizers afresh at
    // another column than a conversion from the start had reached there; the
    // same blocks must still give the same samples, bit for bit.
    std::mt19937 random(4);
    std::uniform_real_distribution<float> amplitude(-0.5f, 0.5f);
    std::vector<float> input(32 * 600);
    for (float& x : input)
        x = amplitude(random);
    auto run = [&](int silent_blocks_first) {
        PolyphaseSynthesizer synth(0, 32768.0f);
        RecordingSink ignored(1), sink(1);
        for (int b = 0; b < silent_blocks_first; ++b)
            synth.Synthesize(ignored);
        for (int b = 0; b < 600; ++b) {
            std::copy(input.begin() + 32 * b, input.begin() + 32 * (b + 1), synth.samples);
            synth.Synthesize(sink);
        }
        return sink.pcm;
    };
    const std::vector<std::int16_t> fresh = run(0);
    for (int offset = 1; offset < 16; ++offset)
        EXPECT_EQ(run(offset), fresh) << "write position moved by " << offset;
}

TEST(PolyphaseSynthesizer, FullScaleClipsWithoutWrapAround) {
    PolyphaseSynthesizer synth(0, 32768.0f);
    RecordingSink sink(1);
    for (int block = 0; block < 64; ++block) {
        synth.samples[2] = (block % 2 ? -4.0f : 4.0f);
        synth.Synthesize(sink);
    }
    int at_max = 0, at_min = 0;
    for (std::size_t i = 1; i < sink.pcm.size(); ++i) {
        at_max += sink.pcm[i] == 32767;
        at_min += sink.pcm[i] == -32768;
        // A wrapped sample would jump across the whole range between neighbours.
        ASSERT_LT(std::abs(sink.pcm[i] - sink.pcm[i - 1]), 65535);
    }
    EXPECT_GT(at_max, 0);
    EXPECT_GT(at_min, 0);
}

TEST(PolyphaseSynthesizer, ClippingTruncatesTowardZero) {
    struct Case {
        float in;
        std::int16_t out;
    };
    for (Case c : {Case{-0.7f, 0}, Case{0.99f, 0}, Case{-1.5f, -1}, Case{32767.5f, 32767},
                   Case{40000.0f, 32767}, Case{-32768.5f, -32768}, Case{-1e9f, -32768},
                   Case{12345.9f, 12345}, Case{std::nanf(""), 0}})
        EXPECT_EQ(ClipToPcm(c.in), c.out) << c.in;
}
