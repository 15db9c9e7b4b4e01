#pragma once

namespace audiocore {

// Which channels a run decodes.
enum class ChannelChoice : int { Both = 0, LeftOnly = 1 };

// How a frame's channels reach the stream's output, whose channel count the
// first frame fixes: a stream may change between one channel and two, as
// concatenated recordings do.
enum class FrameMix : int {
    AsCoded = 0,
    MonoToBoth = 1, // a single-channel frame in a two-channel output
    MeanToMono = 2, // a two-channel frame in a single-channel output
};

inline FrameMix MixFor(int output_channels, bool frame_single_channel) {
    if (output_channels == 2 && frame_single_channel)
        return FrameMix::MonoToBoth;
    if (output_channels == 1 && !frame_single_channel)
        return FrameMix::MeanToMono;
    return FrameMix::AsCoded;
}

} // namespace audiocore
