#pragma once

#include "FrameHeader.h"

#include <string>

namespace audiocore {

// The control's format line, "MPEG-1 layer III, Joint stereo, 44.1 kHz".
std::string StreamInfoLine(const FrameHeader& header);

} // namespace audiocore
