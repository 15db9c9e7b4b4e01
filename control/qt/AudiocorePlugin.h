#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// Makes the Audiocore control available to Qt Designer and to QUiLoader.
// Designer calls initialize with its form editor; a running host's loader
// does not, which is how the controls created here learn whether they are
// being designed. The metadata carries the control's ProgID and ids.
class AudiocorePlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface" FILE "audiocore.json")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit AudiocorePlugin(QObject* parent = nullptr) : QObject(parent) {}

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

private:
    bool initialized_ = false;
    bool in_designer_ = false;
};
