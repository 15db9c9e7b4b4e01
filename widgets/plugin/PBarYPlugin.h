#pragma once

// Designer glue for PBarY: its name, group, include file and default design.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class PBarYPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit PBarYPlugin(QObject* parent = nullptr) : QObject(parent) {}

    QString name() const override { return QStringLiteral("PBarY"); }
    QString group() const override { return QStringLiteral("Lumen"); }
    QString toolTip() const override { return QStringLiteral("Bar that doubles as a slider"); }
    QString whatsThis() const override { return toolTip(); }
    QString includeFile() const override { return QStringLiteral("PBarY.h"); }
    QIcon icon() const override { return QIcon(); }
    bool isContainer() const override { return false; }
    QString domXml() const override;
    QWidget* createWidget(QWidget* parent) override;
};
