#pragma once

namespace audiocore {

// Which channels a run decodes.
enum class ChannelChoice : int { Both = 0, LeftOnly = 1 };

} // namespace audiocore
