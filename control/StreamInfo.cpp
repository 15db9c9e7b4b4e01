#include "StreamInfo.h"

namespace audiocore {

namespace {
const char* OrEmpty(const char* text) {
    return text ? text : "";
}
} // namespace

std::string StreamInfoLine(const FrameHeader& header) {
    return std::string(OrEmpty(header.VersionName())) + " layer " + OrEmpty(header.LayerName()) +
           ", " + OrEmpty(header.ModeName()) + ", " + OrEmpty(header.SampleRateName());
}

} // namespace audiocore
