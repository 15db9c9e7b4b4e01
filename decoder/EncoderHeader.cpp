#include "EncoderHeader.h"

#include "FrameHeader.h"
#include "MpegFileStream.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace audiocore {

namespace {

constexpr int kVbriOffset = 32;
constexpr std::uint32_t kXingFramesFlag = 1;
constexpr std::uint32_t kXingBytesFlag = 2;
constexpr std::uint32_t kXingTocFlag = 4;
constexpr std::uint32_t kXingQualityFlag = 8;

// The encoder's extension after the Xing block: a 9-byte encoder name, then
// fields at these offsets from its start, up to its own 16-bit check. The
// check covers the frame's bytes before it, which in a two-channel MPEG-1
// frame are its first 190; some encoders cover those 190 bytes in every
// frame, with the check itself counted as zeros where it lies among them.
constexpr int kExtensionPeakAt = 11;
constexpr int kExtensionTrackGainAt = 15;
constexpr int kExtensionAlbumGainAt = 17;
constexpr int kExtensionGapAt = 21;
constexpr int kExtensionCrcAt = 34;
constexpr int kExtensionBytes = 36;
constexpr int kCheckedFrameBytes = 190;

std::uint32_t Be32(const MpegFileStream& stream, int at) {
    return (std::uint32_t{stream.BodyByte(at)} << 24) |
           (std::uint32_t{stream.BodyByte(at + 1)} << 16) |
           (std::uint32_t{stream.BodyByte(at + 2)} << 8) | stream.BodyByte(at + 3);
}

bool TagAt(const MpegFileStream& stream, int at, const char* tag) {
    const int length = static_cast<int>(std::strlen(tag));
    for (int i = 0; i < length; ++i)
        if (stream.BodyByte(at + i) != static_cast<std::uint8_t>(tag[i]))
            return false;
    return true;
}

// A count no file of this size could hold is no count.
std::int64_t Plausible(std::uint32_t frames, const MpegFileStream& stream) {
    return frames > 0 && frames <= stream.FileBytes() ? static_cast<std::int64_t>(frames) : -1;
}

// Where the encoder's extension starts: after the Xing block's fields that
// its flags say are present.
int ExtensionAt(const MpegFileStream& stream, int xing) {
    const std::uint32_t flags = Be32(stream, xing + 4);
    int at = xing + 8;
    if (flags & kXingFramesFlag)
        at += 4;
    if (flags & kXingBytesFlag)
        at += 4;
    if (flags & kXingTocFlag)
        at += 100;
    if (flags & kXingQualityFlag)
        at += 4;
    return at;
}

// The frame's first `count` bytes, from its header on.
std::vector<std::uint8_t> FrameBytes(const MpegFileStream& stream, const FrameHeader& header,
                                     int count) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(count));
    for (int shift = 24; shift >= 0 && static_cast<int>(bytes.size()) < count; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(header.word >> shift));
    for (int i = 0; static_cast<int>(bytes.size()) < count; ++i)
        bytes.push_back(stream.BodyByte(i));
    return bytes;
}

// A gain field: name code (3 bits: 1 track, 2 album), originator (3 bits),
// sign, then the gain in 0.1 dB (9 bits). A field without its name code
// carries nothing.
std::optional<float> GainField(const MpegFileStream& stream, int at, std::uint32_t name) {
    const std::uint32_t field = (std::uint32_t{stream.BodyByte(at)} << 8) | stream.BodyByte(at + 1);
    if (field >> 13 != name)
        return std::nullopt;
    const float tenths = static_cast<float>(field & 0x1FF);
    return (field & 0x200 ? -tenths : tenths) / 10.0f;
}

// The peak is stated as a 32-bit float; the common encoder writes it as a
// fixed-point number with 1.0 at 2^23 instead. A plausible amplitude read
// as a float is taken as one; otherwise the word is the fixed-point form
// (no value of either form is plausible in the other). Zero: not measured.
std::optional<float> PeakField(const MpegFileStream& stream, int at) {
    const std::uint32_t word = Be32(stream, at);
    if (word == 0)
        return std::nullopt;
    float as_float;
    std::memcpy(&as_float, &word, sizeof as_float);
    if (std::isfinite(as_float) && as_float > 1e-6f && as_float < 64.0f)
        return as_float;
    const double fixed = static_cast<double>(word) / (1 << 23);
    if (fixed < 64.0)
        return static_cast<float>(fixed);
    return std::nullopt;
}

// Whether the extension's check, stored at body byte `crc_at`, holds.
bool CheckHolds(const MpegFileStream& stream, const FrameHeader& header, int crc_at) {
    const auto stored =
        static_cast<std::uint16_t>((stream.BodyByte(crc_at) << 8) | stream.BodyByte(crc_at + 1));
    const int frame_crc_at = crc_at + 4;
    std::vector<std::uint8_t> before = FrameBytes(stream, header, frame_crc_at);
    if (EncoderTagCrc(before.data(), frame_crc_at) == stored)
        return true;
    std::vector<std::uint8_t> first = FrameBytes(stream, header, kCheckedFrameBytes);
    for (int i = frame_crc_at; i < frame_crc_at + 2 && i < kCheckedFrameBytes; ++i)
        first[static_cast<std::size_t>(i)] = 0;
    return EncoderTagCrc(first.data(), kCheckedFrameBytes) == stored;
}

// Reads the encoder's delay, padding and loudness fields when the extension is one of the
// encoders that write them and its check holds.
void ReadGap(const MpegFileStream& stream, const FrameHeader& header, int at, EncoderHeader& out) {
    if (at + kExtensionBytes > header.body_size)
        return;
    if (!TagAt(stream, at, "LAME") && !TagAt(stream, at, "Lavf") && !TagAt(stream, at, "Lavc"))
        return;
    if (!CheckHolds(stream, header, at + kExtensionCrcAt))
        return;
    const std::uint32_t gap = (std::uint32_t{stream.BodyByte(at + kExtensionGapAt)} << 16) |
                              (std::uint32_t{stream.BodyByte(at + kExtensionGapAt + 1)} << 8) |
                              stream.BodyByte(at + kExtensionGapAt + 2);
    out.delay = static_cast<int>(gap >> 12);
    out.padding = static_cast<int>(gap & 0xFFF);
    out.peak = PeakField(stream, at + kExtensionPeakAt);
    out.track_gain_db = GainField(stream, at + kExtensionTrackGainAt, 1);
    out.album_gain_db = GainField(stream, at + kExtensionAlbumGainAt, 2);
}

} // namespace

std::uint16_t EncoderTagCrc(const std::uint8_t* bytes, int count) {
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

bool ReadEncoderHeader(const MpegFileStream& stream, const FrameHeader& header,
                       EncoderHeader& out) {
    out = EncoderHeader{};
    if (header.layer != 3)
        return false;
    // The block follows the side information. Encoders differ on whether
    // a CRC before it moves it: both places are looked at.
    const int after_side = header.body_size - header.main_data_slots;
    for (int xing : {after_side, after_side - (header.protection_bit == 0 ? 2 : 0)}) {
        if (TagAt(stream, xing, "Xing") || TagAt(stream, xing, "Info")) {
            const std::uint32_t flags = Be32(stream, xing + 4);
            if (flags & kXingFramesFlag)
                out.frames = Plausible(Be32(stream, xing + 8), stream);
            if (flags & kXingBytesFlag)
                out.bytes = Be32(stream, xing + ((flags & kXingFramesFlag) ? 12 : 8));
            ReadGap(stream, header, ExtensionAt(stream, xing), out);
            return true;
        }
    }
    if (TagAt(stream, kVbriOffset, "VBRI")) {
        // Tag, version, delay and quality, the stream's bytes, then frames.
        out.frames = Plausible(Be32(stream, kVbriOffset + 14), stream);
        return true;
    }
    return false;
}

} // namespace audiocore
