#include "OneLineText.h"

#include "ShownText.h"
#include "controlkit/LocalPath.h"

QString OneLineText(const QString& text) {
    return QString::fromStdString(songinfo::VisibleText(controlkit::PathBytes(text).toStdString()));
}
