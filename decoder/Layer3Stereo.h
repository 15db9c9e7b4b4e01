#pragma once

#include "Layer3Constants.h"
#include "Layer3SideInfo.h"

#include <cstdint>

namespace audiocore {

struct ScaleFactorBands;

// How the two channels of a granule are coded.
struct StereoMode {
    bool mid_side = false;  // joint stereo, mode_extension bit 1
    bool intensity = false; // joint stereo, mode_extension bit 0
    bool lsf = false;       // MPEG-2 lower sampling frequencies
};

// Turns the requantised channels of a two-channel granule into left and
// right: mid/side and intensity stereo by the MPEG-1 or the LSF rule. The
// scratch for the intensity positions is kept here so nothing is allocated
// per granule.
class Layer3Stereo {
public:
    // ro[ch][576] in, lr[ch][576] out, with the granule's side information
    // of both channels. The first channel's gives the block structure; the
    // second channel codes the intensity positions in its scale factors
    // (`right`) and, at the LSF rates, the intensity scale in bit 0 of its
    // scalefac_compress.
    void Process(const StereoMode& mode, const GranuleInfo (&granules)[2],
                 const ScaleFactors& right, const ScaleFactorBands& bands,
                 const float (&ro)[2][kGranuleLines], float (&lr)[2][kGranuleLines]);

private:
    static constexpr int kNoPosition = 7;

    void FindLongPositions(const ScaleFactors& right, const ScaleFactorBands& bands, int last,
                           int last_band);
    void FindShortPositions(const GranuleInfo& g, const ScaleFactors& right,
                            const ScaleFactorBands& bands, const float* ro1);
    void SetPosition(int line, int position);
    void CopyPosition(int to, int from);

    bool lsf_ = false;
    int io_type_ = 0;
    // Per line: the intensity position, or kNoPosition.
    std::int32_t is_pos_[kGranuleLines];
    // MPEG-1: the ratio left/right. LSF: the factors of left and right.
    float is_ratio_[kGranuleLines];
    float k_[2][kGranuleLines];
};

} // namespace audiocore
