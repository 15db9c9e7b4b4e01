#include "CustomListBoxPlugin.h"

#include "CustomListBox.h"

QString CustomListBoxPlugin::domXml() const {
    return QStringLiteral(
        R"(<ui language="c++"><widget class="CustomListBox" name="customListBox1">)"
        R"(<property name="geometry"><rect><x>0</x><y>0</y><width>160</width><height>120</height></rect></property>)"
        R"(</widget></ui>)");
}

QWidget* CustomListBoxPlugin::createWidget(QWidget* parent) {
    return new CustomListBox(parent);
}
