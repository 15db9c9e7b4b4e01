#pragma once

#include "EncoderHeader.h"
#include "ReplayGain.h"

#include <string>

namespace audiocore {

// A song's ReplayGain facts, track and album each from the first of these
// that has them: ID3v2 TXXX frames (REPLAYGAIN_TRACK_GAIN, ..._PEAK,
// REPLAYGAIN_ALBUM_GAIN, ..._PEAK, in any case), ID3v2 RVA2 frames
// ("track", "album", the master channel), the APEv2 tag, and the encoder's
// extension of the Xing/Info frame (`encoder`, which the decoder read).
// A file without any gives no facts; a damaged tag is ignored.
LoudnessFacts ReadLoudnessFacts(const std::string& path, const EncoderHeader& encoder);

// The number at the start of a tag's text ("-6.02 dB", "+1.5", "0.988");
// empty when the text starts with none.
std::optional<double> LeadingNumber(const std::string& text);

} // namespace audiocore
