// The one place the engine reads tags: TagLib reads ID3v2 and APE; the
// encoder's extension comes from the decoder, which knows the first frame.

#include "ReplayGainTags.h"

#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/relativevolumeframe.h>
#include <taglib/textidentificationframe.h>

#include <cctype>
#include <charconv>
#include <cmath>

namespace audiocore {

namespace {

// The facts one tag kind states; each kind is read on its own, then the
// kinds are taken in order of preference.
using Source = LoudnessFacts;

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Sets the field that a REPLAYGAIN_* name stands for.
void Assign(Source& source, const std::string& name, const std::string& text) {
    const std::string key = Upper(name);
    const std::optional<double> value = LeadingNumber(text);
    if (!value)
        return;
    if (key == "REPLAYGAIN_TRACK_GAIN")
        source.track.gain_db = value;
    else if (key == "REPLAYGAIN_TRACK_PEAK")
        source.track.peak = value;
    else if (key == "REPLAYGAIN_ALBUM_GAIN")
        source.album.gain_db = value;
    else if (key == "REPLAYGAIN_ALBUM_PEAK")
        source.album.peak = value;
}

Source FromUserText(TagLib::ID3v2::Tag& tag) {
    Source source;
    for (TagLib::ID3v2::Frame* frame : tag.frameList("TXXX")) {
        auto* text = dynamic_cast<TagLib::ID3v2::UserTextIdentificationFrame*>(frame);
        if (!text || text->fieldList().size() < 2)
            continue;
        Assign(source, text->description().to8Bit(true), text->fieldList()[1].to8Bit(true));
    }
    return source;
}

// An RVA2 peak is an unsigned number of the stated bits, full scale at
// half its range.
std::optional<double> RvaPeak(const TagLib::ID3v2::RelativeVolumeFrame::PeakVolume& peak) {
    const int bits = peak.bitsRepresentingPeak;
    if (bits <= 0 || bits > 64 || peak.peakVolume.size() * 8 < static_cast<unsigned>(bits))
        return std::nullopt;
    double value = 0;
    for (unsigned char byte : peak.peakVolume)
        value = value * 256 + byte;
    const double full = std::pow(2.0, bits - 1);
    return value > 0 ? std::optional<double>(value / full) : std::nullopt;
}

Source FromRelativeVolume(TagLib::ID3v2::Tag& tag) {
    using TagLib::ID3v2::RelativeVolumeFrame;
    Source source;
    for (TagLib::ID3v2::Frame* frame : tag.frameList("RVA2")) {
        auto* rva = dynamic_cast<RelativeVolumeFrame*>(frame);
        if (!rva || !rva->channels().contains(RelativeVolumeFrame::MasterVolume))
            continue;
        const std::string id = Upper(rva->identification().to8Bit(true));
        LoudnessFacts::Pair* pair = id == "TRACK"   ? &source.track
                                    : id == "ALBUM" ? &source.album
                                                    : nullptr;
        if (!pair)
            continue;
        pair->gain_db = rva->volumeAdjustment(RelativeVolumeFrame::MasterVolume);
        pair->peak = RvaPeak(rva->peakVolume(RelativeVolumeFrame::MasterVolume));
    }
    return source;
}

Source FromApe(TagLib::APE::Tag& tag) {
    Source source;
    for (const auto& [key, item] : tag.itemListMap())
        Assign(source, key.to8Bit(true), item.toString().to8Bit(true));
    return source;
}

Source FromEncoder(const EncoderHeader& encoder) {
    Source source;
    if (encoder.track_gain_db) {
        source.track.gain_db = *encoder.track_gain_db;
        source.track.peak = encoder.peak;
    }
    if (encoder.album_gain_db) {
        source.album.gain_db = *encoder.album_gain_db;
        source.album.peak = encoder.peak;
    }
    return source;
}

// A gain and its peak come from the same tag: a peak measured by another
// scanner may belong to another gain.
void TakeFirst(LoudnessFacts::Pair& out, const LoudnessFacts::Pair& candidate) {
    if (!out.gain_db && candidate.gain_db)
        out = candidate;
}

} // namespace

std::optional<double> LeadingNumber(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < text.size() && text[at] == '+')
        ++at;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

LoudnessFacts ReadLoudnessFacts(const std::string& path, const EncoderHeader& encoder) {
    std::vector<Source> sources;
    {
        TagLib::MPEG::File file(path.c_str(), false);
        if (file.isValid()) {
            if (TagLib::ID3v2::Tag* id3 = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr) {
                sources.push_back(FromUserText(*id3));
                sources.push_back(FromRelativeVolume(*id3));
            }
            if (TagLib::APE::Tag* ape = file.hasAPETag() ? file.APETag() : nullptr)
                sources.push_back(FromApe(*ape));
        }
    }
    sources.push_back(FromEncoder(encoder));
    LoudnessFacts facts;
    for (const Source& source : sources) {
        TakeFirst(facts.track, source.track);
        TakeFirst(facts.album, source.album);
    }
    return facts;
}

} // namespace audiocore
