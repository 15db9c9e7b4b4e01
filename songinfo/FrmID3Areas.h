#pragma once

#include <span>

namespace songinfo {

// The tag editor's click areas, each once: its name in the design and the
// command it gives. The push buttons act on their click, the skin's
// pictures and captions on a release over them. While the editor offers
// only Cancel, every Save area is hidden.
enum class EditorCommand {
    Save,
    Cancel,
};

struct EditorArea {
    const char* name;
    EditorCommand command;
};

std::span<const EditorArea> FrmID3Areas();

} // namespace songinfo
