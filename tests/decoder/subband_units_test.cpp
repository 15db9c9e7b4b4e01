// The Layer I and II band objects on hand-made frame bodies: requantisation,
// grouping, scale factor selection and the routing of intensity bands.

#include "ChannelChoice.h"
#include "Layer12Frames.h"
#include "Layer1Bands.h"
#include "Layer2Bands.h"
#include "SampleGroups.h"

#include <gtest/gtest.h>

using namespace audiocore;
using namespace testsupport;

namespace {

// LSF Layer II, 24 kHz, 64 kbit/s: 384-byte frames using the LSF table, whose
// subband 0 has 4 allocation bits: 1 = 3 steps (5-bit grouped codes),
// 2 = 5 steps (7 bits), 3 = 7 steps (3 bits, one per sample), 4 = 9 steps
// (10 bits).
constexpr HeaderFields kLsfMono{
    .version = 0, .layer = 2, .bitrate_index = 8, .sample_frequency = 1, .mode = 3};
constexpr HeaderFields kLsfJoint{
    .version = 0, .layer = 2, .bitrate_index = 8, .sample_frequency = 1, .mode = 1};
constexpr int kLsfSize = 384;
// MPEG-1 Layer I, 32 kHz, 448 kbit/s: 672-byte frames.
constexpr HeaderFields kL1Mono{.layer = 1, .bitrate_index = 14, .sample_frequency = 2, .mode = 3};
constexpr HeaderFields kL1Joint{.layer = 1, .bitrate_index = 14, .sample_frequency = 2, .mode = 1};
constexpr int kL1Size = 672;

// Scale factor indexes with simple values: 2^(1 - i / 3).
constexpr unsigned kScale2 = 0, kScale1 = 3, kScaleHalf = 6, kScaleForbidden = 63;

// Reads the band's side information and describes its codes, as a frame
// does before its groups.
SampleGroups DescribeBand(SubbandUnit& band, FrameFile& file, bool second = false) {
    band.ReadBitAllocation(file.stream, file.header, nullptr);
    band.ReadScaleSelection(file.stream, nullptr);
    band.ReadScaleIndices(file.stream);
    SampleGroups groups(file.header.layer);
    band.AddCodes(groups, second);
    return groups;
}

// The values group `group` puts into subband 0 of the first output channel,
// one per slot.
std::vector<float> ReadGroup(const SampleGroups& groups, FrameFile& file, int group) {
    GroupBlocks blocks;
    groups.Read(file.stream, group, blocks);
    std::vector<float> values;
    for (int slot = 0; slot < groups.SlotsPerGroup(); ++slot)
        values.push_back(blocks.value[0][slot][0]);
    return values;
}

struct GroupCase {
    const char* what;
    unsigned allocation;
    int bits;
    std::uint32_t code;
    float expected[3];
};

} // namespace

TEST(Layer2Band, RequantisesGroupedAndSingleCodesFirstSampleFastest) {
    const GroupCase cases[] = {
        {"3 steps, all top", 1, 5, 26, {2.0f / 3, 2.0f / 3, 2.0f / 3}},
        {"3 steps, all bottom", 1, 5, 0, {-2.0f / 3, -2.0f / 3, -2.0f / 3}},
        {"3 steps, digits 2 1 0", 1, 5, 2 + 1 * 3 + 0 * 9, {2.0f / 3, 0.0f, -2.0f / 3}},
        {"3 steps, code past 27 cannot be sent", 1, 5, 31, {0.0f, 0.0f, 0.0f}},
        {"5 steps, digits 1 2 3", 2, 7, 1 + 2 * 5 + 3 * 25, {-0.4f, 0.0f, 0.4f}},
        {"5 steps, all top", 2, 7, 124, {0.8f, 0.8f, 0.8f}},
        {"5 steps, code past 125", 2, 7, 127, {0.0f, 0.0f, 0.0f}},
        {"9 steps, digits 0 4 8", 4, 10, 0 + 4 * 9 + 8 * 81, {-8.0f / 9, 0.0f, 8.0f / 9}},
        {"9 steps, all top", 4, 10, 728, {8.0f / 9, 8.0f / 9, 8.0f / 9}},
        {"9 steps, code past 729", 4, 10, 1023, {0.0f, 0.0f, 0.0f}},
        // Ungrouped: c (x / 2^(bits-1) - 1 + d) = (2x - 6) / 7 for 7 steps.
        {"7 steps, three codes", 3, 3, 0, {-6.0f / 7, -6.0f / 7, -6.0f / 7}},
        {"7 steps, middle", 3, 3, 3, {0.0f, 0.0f, 0.0f}},
        {"7 steps, top", 3, 3, 6, {6.0f / 7, 6.0f / 7, 6.0f / 7}},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.what);
        BitWriter body;
        PutFields(body, {{c.allocation, 4}, {2, 2}, {kScale1, 6}});
        PutRepeated(body, c.code, c.bits, c.allocation == 3 ? 3 : 1);
        std::vector<std::uint8_t> bytes;
        AppendBitFrame(bytes, kLsfMono, kLsfSize, body);
        FrameFile file(bytes);
        ASSERT_TRUE(file.opened);

        L2Band band(0);
        const SampleGroups groups = DescribeBand(band, file);
        std::vector<float> values = ReadGroup(groups, file, 0);
        ASSERT_EQ(values.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(values[i], c.expected[i], 1e-6f) << "sample " << i;
    }
}

TEST(Layer2Band, ScaleSelectionSharesScaleFactorsAcrossGroupThirds) {
    struct Case {
        unsigned scfsi;
        std::vector<unsigned> sent;
        float per_third[3];
    };
    const Case cases[] = {
        {0, {kScale2, kScale1, kScaleHalf}, {2.0f, 1.0f, 0.5f}},
        {1, {kScale2, kScale1}, {2.0f, 2.0f, 1.0f}},
        {2, {kScale2}, {2.0f, 2.0f, 2.0f}},
        {3, {kScale2, kScale1}, {2.0f, 1.0f, 1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scfsi " << c.scfsi);
        BitWriter body;
        PutFields(body, {{1, 4}, {c.scfsi, 2}});
        for (unsigned index : c.sent)
            body.Put(index, 6);
        PutRepeated(body, 26, 5, SampleGroups::kGroupsPerFrame); // every sample 2/3
        std::vector<std::uint8_t> bytes;
        AppendBitFrame(bytes, kLsfMono, kLsfSize, body);
        FrameFile file(bytes);
        ASSERT_TRUE(file.opened);

        L2Band band(0);
        const SampleGroups groups = DescribeBand(band, file);
        for (int group = 0; group < SampleGroups::kGroupsPerFrame; ++group) {
            for (float value : ReadGroup(groups, file, group))
                EXPECT_NEAR(value, 2.0f / 3 * c.per_third[group / 4], 1e-6f) << "group " << group;
        }
    }
}

TEST(IntensityBands, ShareOneSampleScaledPerChannel) {
    // Layer II: allocation 1 (3 steps), scfsi 2 for both channels, left
    // scale 2.0, right 0.5, code 26 (2/3). Layer I: allocation 1 (2-bit
    // codes, code 2 requantises to 2/3), the same two scale factors.
    BitWriter l2;
    PutFields(l2, {{1, 4}, {2, 2}, {2, 2}, {kScale2, 6}, {kScaleHalf, 6}, {26, 5}});
    BitWriter l1;
    PutFields(l1, {{1, 4}, {kScale2, 6}, {kScaleHalf, 6}, {2, 2}});
    for (ChannelChoice choice : {ChannelChoice::Both, ChannelChoice::LeftOnly}) {
        for (int layer : {1, 2}) {
            SCOPED_TRACE(testing::Message()
                         << "layer " << layer << " choice " << static_cast<int>(choice));
            std::vector<std::uint8_t> bytes;
            if (layer == 1)
                AppendBitFrame(bytes, kL1Joint, kL1Size, l1);
            else
                AppendBitFrame(bytes, kLsfJoint, kLsfSize, l2);
            FrameFile file(bytes);
            ASSERT_TRUE(file.opened);
            L1IntensityBand l1_band(0);
            L2IntensityBand l2_band(0);
            SubbandUnit& band = layer == 1 ? static_cast<SubbandUnit&>(l1_band) : l2_band;
            const SampleGroups groups = DescribeBand(band, file, choice == ChannelChoice::Both);
            GroupBlocks blocks;
            groups.Read(file.stream, 0, blocks);
            EXPECT_NEAR(blocks.value[0][0][0], 2.0f / 3 * 2.0f, 1e-6f);
            const float right = choice == ChannelChoice::Both ? 2.0f / 3 * 0.5f : 0.0f;
            EXPECT_NEAR(blocks.value[1][0][0], right, 1e-6f);
        }
    }
}

TEST(Layer1Band, RequantisesCodesAndSilencesForbiddenValues) {
    struct Case {
        const char* what;
        unsigned allocation;
        unsigned scale_index;
        std::uint32_t code;
        float expected;
    };
    // Allocation a sends (a + 1)-bit codes; x maps to 2 (x + 1 - 2^a) / (2^(a+1) - 1).
    const Case cases[] = {
        {"2-bit bottom", 1, kScale1, 0, -2.0f / 3},
        {"2-bit middle", 1, kScale1, 1, 0.0f},
        {"2-bit top", 1, kScale1, 2, 2.0f / 3},
        {"4-bit, scale 0.5", 3, kScaleHalf, 14, 0.5f * 14.0f / 15},
        {"15-bit bottom", 14, kScale1, 0, -32766.0f / 32767},
        {"15-bit middle", 14, kScale1, 16383, 0.0f},
        {"allocation 15 is silent", 15, kScale1, 0xFFFF, 0.0f},
        {"scale factor 63 is silent", 3, kScaleForbidden, 15, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BitWriter body;
        PutFields(
            body,
            {{c.allocation, 4}, {c.scale_index, 6}, {c.code, static_cast<int>(c.allocation) + 1}});
        std::vector<std::uint8_t> bytes;
        AppendBitFrame(bytes, kL1Mono, kL1Size, body);
        FrameFile file(bytes);
        ASSERT_TRUE(file.opened);
        L1Band band(0);
        const SampleGroups groups = DescribeBand(band, file);
        const std::vector<float> values = ReadGroup(groups, file, 0);
        ASSERT_EQ(values.size(), 1u);
        EXPECT_NEAR(values[0], c.expected, 1e-6f);
    }
}
