#include "AudiocorePlugin.h"

#include "Audiocore.h"
#include "ControlIcon.h"

#include <QIcon>

QString AudiocorePlugin::name() const {
    return QStringLiteral("Audiocore");
}

QString AudiocorePlugin::group() const {
    return QStringLiteral("Songwell");
}

QString AudiocorePlugin::toolTip() const {
    return QStringLiteral("Audiocore Control");
}

QString AudiocorePlugin::whatsThis() const {
    return QStringLiteral("Decodes MPEG audio files and plays them on the sound device or "
                          "writes them to WAV files.");
}

QString AudiocorePlugin::includeFile() const {
    return QStringLiteral("Audiocore.h");
}

QIcon AudiocorePlugin::icon() const {
    return QIcon(audiocore::ControlIcon());
}

QWidget* AudiocorePlugin::createWidget(QWidget* parent) {
    auto* control = new Audiocore(parent);
    control->setUserMode(!in_designer_);
    return control;
}

void AudiocorePlugin::initialize(QDesignerFormEditorInterface* core) {
    initialized_ = true;
    in_designer_ = core != nullptr;
}

QString AudiocorePlugin::domXml() const {
    return QStringLiteral(R"(<ui language="c++">
 <widget class="Audiocore" name="Audiocore1">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>32</width><height>32</height></rect>
  </property>
 </widget>
</ui>
)");
}
