#include "PBarYPlugin.h"

#include "PBarY.h"

QString PBarYPlugin::domXml() const {
    return QStringLiteral(
        R"(<ui language="c++"><widget class="PBarY" name="pBarY1">)"
        R"(<property name="geometry"><rect><x>0</x><y>0</y><width>200</width><height>12</height></rect></property>)"
        R"(</widget></ui>)");
}

QWidget* PBarYPlugin::createWidget(QWidget* parent) {
    return new PBarY(parent);
}
