#include "AdvWinPlugin.h"

#include "AdvWin.h"

#include <QIcon>

QString AdvWinPlugin::name() const {
    return QStringLiteral("AdvWin");
}

QString AdvWinPlugin::group() const {
    return QStringLiteral("Songwell");
}

QString AdvWinPlugin::toolTip() const {
    return QStringLiteral("Cuts a window to a skin outline, drags, raises and minimises it");
}

QString AdvWinPlugin::whatsThis() const {
    return QStringLiteral("Shapes the window whose title is Target_Caption to the polygons "
                          "of the skin file series that starts with Skin_Txt_File.");
}

QString AdvWinPlugin::includeFile() const {
    return QStringLiteral("AdvWin.h");
}

QIcon AdvWinPlugin::icon() const {
    return {};
}

QWidget* AdvWinPlugin::createWidget(QWidget* parent) {
    auto* control = new AdvWin(parent);
    control->setUserMode(!in_designer);
    return control;
}

void AdvWinPlugin::initialize(QDesignerFormEditorInterface* core) {
    initialized = true;
    in_designer = core != nullptr;
}

QString AdvWinPlugin::domXml() const {
    return QStringLiteral(R"(<ui language="c++">
 <widget class="AdvWin" name="AdvWin1">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>32</width><height>32</height></rect>
  </property>
 </widget>
</ui>
)");
}
