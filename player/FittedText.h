#pragma once

#include <QString>

class QLabel;

// Texts fitted to the label that shows them: a line too long for it ends in
// an ellipsis instead of being cut mid-word.
namespace fitted {

// One line, elided on the right to the label's width.
QString OneLine(const QLabel& label, const QString& text);

// The lines of a label that wraps, broken only between the parts of a
// comma-separated list ("MPEG-1 layer III, Joint stereo, 44.1 kHz"), never
// inside a part such as "44.1 kHz"; each line elided to the width.
QString CommaLines(const QLabel& label, const QString& text);

} // namespace fitted
