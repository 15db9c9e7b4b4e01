#pragma once

// The Lumen plugin: publishes CustomListBox and PBarY to Qt Designer and to
// hosts that load window designs. Its metadata (lumen.json) carries the
// library name, the controls' ProgIDs and class ids.

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <QObject>

class LumenPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface" FILE
                          "lumen.json")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit LumenPlugin(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};
