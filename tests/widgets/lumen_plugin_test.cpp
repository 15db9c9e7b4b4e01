#include "TestSupport.h"
#include "WidgetTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QMetaObject>
#include <QPluginLoader>
#include <QUiLoader>

#include <gtest/gtest.h>

namespace {

const char* kDesign = R"(<ui version="4.0"><class>Form</class>
<widget class="QWidget" name="Form">
 <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
 <widget class="CustomListBox" name="lstPlayList1">
  <property name="geometry"><rect><x>0</x><y>0</y><width>200</width><height>150</height></rect></property>
  <property name="SelBoxColor"><UInt>255</UInt></property>
  <property name="Sorted"><bool>true</bool></property>
 </widget>
 <widget class="PBarY" name="PBarY1">
  <property name="geometry"><rect><x>0</x><y>160</y><width>200</width><height>10</height></rect></property>
  <property name="Value"><number>40</number></property>
  <property name="Style"><number>1</number></property>
 </widget>
</widget></ui>)";

QString PluginFile() {
    return QDir(SONGWELL_PLUGIN_DIR).filePath(QStringLiteral("liblumen.so"));
}

TEST(LumenPlugin, PublishesBothControlsUnderTheLibraryName) {
    widgettest::App();
    QPluginLoader loader(PluginFile());
    const QJsonObject meta = loader.metaData().value("MetaData").toObject();
    EXPECT_EQ(meta.value("Library").toString(), "Lumen");
    QStringList progIds;
    for (const auto& control : meta.value("Controls").toArray())
        progIds.append(control.toObject().value("ProgID").toString());
    EXPECT_EQ(progIds, QStringList({"Lumen.CustomListBox", "Lumen.PBarY"}));
}

TEST(LumenPlugin, WindowDesignCreatesTheControlsWithTheirProperties) {
    widgettest::App();
    QUiLoader loader;
    loader.addPluginPath(SONGWELL_PLUGIN_DIR);
    EXPECT_TRUE(loader.availableWidgets().contains("CustomListBox"));
    EXPECT_TRUE(loader.availableWidgets().contains("PBarY"));

    QByteArray design(kDesign);
    QBuffer buffer(&design);
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    ASSERT_TRUE(form) << loader.errorString().toStdString();
    QObject* list = form->findChild<QObject*>("lstPlayList1");
    QObject* bar = form->findChild<QObject*>("PBarY1");
    ASSERT_TRUE(list && bar);
    EXPECT_STREQ(list->metaObject()->className(), "CustomListBox");
    EXPECT_EQ(list->property("SelBoxColor").toUInt(), 255u);
    EXPECT_TRUE(list->property("Sorted").toBool());
    EXPECT_EQ(bar->property("Value").toInt(), 40);
    EXPECT_EQ(bar->property("Style").toInt(), 1);

    // Driven late-bound, as the player does.
    for (const char* text : {"b", "A", "c"})
        QMetaObject::invokeMethod(list, "AddItem", Q_ARG(QString, text), Q_ARG(int, -1));
    int count = 0;
    QString first;
    QMetaObject::invokeMethod(list, "LCount", Q_RETURN_ARG(int, count));
    QMetaObject::invokeMethod(list, "List", Q_RETURN_ARG(QString, first), Q_ARG(int, 0));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(first, "A");

    // Hosts connect by plain signatures.
    EXPECT_GE(bar->metaObject()->indexOfSignal("ChangeValue(int,int)"), 0);
    EXPECT_GE(list->metaObject()->indexOfSignal("MouseDown(int,int,float,float)"), 0);
    EXPECT_GE(list->metaObject()->indexOfSignal("DblClick()"), 0);
    bar->setProperty("Value", 170);
    EXPECT_EQ(bar->property("Value").toInt(), 100);
}

} // namespace
