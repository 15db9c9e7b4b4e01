#pragma once

// Designer glue for CustomListBox: its name, group, include file and default design.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class CustomListBoxPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit CustomListBoxPlugin(QObject* parent = nullptr) : QObject(parent) {}

    QString name() const override { return QStringLiteral("CustomListBox"); }
    QString group() const override { return QStringLiteral("Lumen"); }
    QString toolTip() const override {
        return QStringLiteral("Owner-drawn list with its own scroll bar");
    }
    QString whatsThis() const override { return toolTip(); }
    QString includeFile() const override { return QStringLiteral("CustomListBox.h"); }
    QIcon icon() const override { return QIcon(); }
    bool isContainer() const override { return false; }
    QString domXml() const override;
    QWidget* createWidget(QWidget* parent) override;
};
