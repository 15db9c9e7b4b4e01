#include "FrmID3Areas.h"

namespace songinfo {

namespace {

const EditorArea kAreas[] = {
    {"cmdSave", EditorCommand::Save},     // the push button
    {"Image2", EditorCommand::Save},      // the skin's picture
    {"Label10", EditorCommand::Save},     // and the caption on it
    {"cmdCancel", EditorCommand::Cancel}, // the same three for Cancel
    {"Image1", EditorCommand::Cancel},    //
    {"Label9", EditorCommand::Cancel},    //
};

} // namespace

std::span<const EditorArea> FrmID3Areas() {
    return kAreas;
}

} // namespace songinfo
