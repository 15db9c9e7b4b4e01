#pragma once

// Writes ReplayGain facts into MP3 files the way scanners do, for the tests
// that play such songs: ID3v2 TXXX and RVA2 frames and an APEv2 tag (with
// TagLib), and the encoder's extension of the Xing/Info frame (patched in
// place, its check made again).

#include "EncoderHeader.h"
#include "TestSupport.h"

#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/relativevolumeframe.h>
#include <taglib/textidentificationframe.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace testsupport {

// One gain with its peak, as text for the text tags; no peak: "".
struct GainText {
    std::string gain;
    std::string peak;
};

enum class GainTagKind { UserText, RelativeVolume, Ape, EncoderExtension };

inline void AddUserText(TagLib::ID3v2::Tag& tag, const std::string& name,
                        const std::string& value) {
    if (value.empty())
        return;
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
    frame->setDescription(name);
    frame->setText(value);
    tag.addFrame(frame);
}

inline void AddRelativeVolume(TagLib::ID3v2::Tag& tag, const std::string& id,
                              const GainText& text) {
    using TagLib::ID3v2::RelativeVolumeFrame;
    if (text.gain.empty())
        return;
    auto* frame = new RelativeVolumeFrame();
    frame->setIdentification(id);
    frame->setVolumeAdjustment(std::stof(text.gain), RelativeVolumeFrame::MasterVolume);
    if (!text.peak.empty()) {
        // 16 bits, full scale at half the range.
        RelativeVolumeFrame::PeakVolume peak;
        peak.bitsRepresentingPeak = 16;
        const auto value = static_cast<unsigned>(std::lround(std::stod(text.peak) * 32768));
        peak.peakVolume = TagLib::ByteVector::fromShort(static_cast<short>(value), true);
        frame->setPeakVolume(peak, RelativeVolumeFrame::MasterVolume);
    }
    tag.addFrame(frame);
}

// Patches the encoder's extension of the file's Info frame: the peak as a
// 32-bit float, the track and album gains in 0.1 dB, and the check after.
inline void PatchEncoderExtension(const std::string& path, const GainText& track,
                                  const GainText& album) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    const std::string text(bytes.begin(), bytes.end());
    // The extension names its encoder; the frame holding it starts with a
    // sync word before "Info" or "Xing".
    const std::size_t info =
        text.find("Info") != std::string::npos ? text.find("Info") : text.find("Xing");
    const std::size_t ext = text.find("LAME", info);
    ASSERT_NE(info, std::string::npos);
    ASSERT_NE(ext, std::string::npos);
    std::size_t frame = info;
    while (frame > 0 && !(bytes[frame] == 0xFF && (bytes[frame + 1] & 0xE0) == 0xE0))
        --frame;
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<std::uint8_t>(v >> 8);
        bytes[at + 1] = static_cast<std::uint8_t>(v);
    };
    auto field = [](std::uint16_t name, const std::string& gain) -> std::uint16_t {
        if (gain.empty())
            return 0;
        const long tenths = std::lround(std::stod(gain) * 10);
        // Set by the user (originator 2), sign, then the size in 0.1 dB.
        return static_cast<std::uint16_t>((name << 13) | (2 << 10) | (tenths < 0 ? 0x200 : 0) |
                                          (std::labs(tenths) & 0x1FF));
    };
    const std::string& peak_text = !track.peak.empty() ? track.peak : album.peak;
    const float peak = peak_text.empty() ? 0.0f : std::stof(peak_text);
    std::uint32_t word = 0;
    std::memcpy(&word, &peak, 4);
    for (int i = 0; i < 4; ++i)
        bytes[ext + 11 + i] = static_cast<std::uint8_t>(word >> (24 - 8 * i));
    put16(ext + 15, field(1, track.gain));
    put16(ext + 17, field(2, album.gain));
    const std::size_t crc_at = ext + 34;
    put16(crc_at, audiocore::EncoderTagCrc(bytes.data() + frame, static_cast<int>(crc_at - frame)));
    WriteFile(path, bytes);
}

// Writes `track` and `album` into `path` as tags of `kind`; an empty gain
// writes nothing for it. Names are written in lower case: readers must not
// care.
inline void WriteGainTags(const std::string& path, GainTagKind kind, const GainText& track,
                          const GainText& album = {}) {
    if (kind == GainTagKind::EncoderExtension) {
        PatchEncoderExtension(path, track, album);
        return;
    }
    TagLib::MPEG::File file(path.c_str(), false);
    ASSERT_TRUE(file.isValid()) << path;
    if (kind == GainTagKind::Ape) {
        TagLib::APE::Tag* ape = file.APETag(true);
        auto add = [&](const char* key, const std::string& value) {
            if (!value.empty())
                ape->addValue(key, value);
        };
        add("REPLAYGAIN_TRACK_GAIN", track.gain.empty() ? "" : track.gain + " dB");
        add("REPLAYGAIN_TRACK_PEAK", track.peak);
        add("REPLAYGAIN_ALBUM_GAIN", album.gain.empty() ? "" : album.gain + " dB");
        add("REPLAYGAIN_ALBUM_PEAK", album.peak);
        ASSERT_TRUE(file.save(TagLib::MPEG::File::APE, TagLib::File::StripNone));
        return;
    }
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    if (kind == GainTagKind::UserText) {
        AddUserText(*tag, "replaygain_track_gain", track.gain.empty() ? "" : track.gain + " dB");
        AddUserText(*tag, "replaygain_track_peak", track.peak);
        AddUserText(*tag, "Replaygain_Album_Gain", album.gain.empty() ? "" : album.gain + " dB");
        AddUserText(*tag, "REPLAYGAIN_ALBUM_PEAK", album.peak);
    } else {
        AddRelativeVolume(*tag, "track", track);
        AddRelativeVolume(*tag, "album", album);
    }
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone));
}

} // namespace testsupport
