#include "FittedText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

namespace fitted {

namespace {

int Width(const QLabel& label) {
    return label.contentsRect().width();
}

} // namespace

QString OneLine(const QLabel& label, const QString& text) {
    return label.fontMetrics().elidedText(text, Qt::ElideRight, Width(label));
}

QString CommaLines(const QLabel& label, const QString& text) {
    const QFontMetrics metrics = label.fontMetrics();
    const int width = Width(label);
    const int lines = qMax(1, label.contentsRect().height() / qMax(1, metrics.lineSpacing()));
    QStringList out;
    QString line;
    const QStringList parts = text.split(QStringLiteral(", "));
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts[i] + (i + 1 < parts.size() ? QStringLiteral(",") : QString());
        const QString joined = line.isEmpty() ? part : line + ' ' + part;
        if (line.isEmpty() || metrics.horizontalAdvance(joined) <= width || out.size() + 1 >= lines)
            line = joined;
        else {
            out.append(line);
            line = part;
        }
    }
    out.append(line);
    for (QString& l : out)
        l = metrics.elidedText(l, Qt::ElideRight, width);
    return out.join('\n');
}

} // namespace fitted
