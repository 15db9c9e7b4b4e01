#include "SkinTestSupport.h"
#include "SkinformErrors.h"

#include <QBuffer>
#include <QPluginLoader>
#include <QUiLoader>
#include <QWidget>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

#include <memory>

// The Skinform plugin as hosts meet it: Songwell through QUiLoader, Qt
// Designer through the custom-widget interface.
namespace {

const QString kPlugin = QStringLiteral(SONGWELL_PLUGIN_DIR "/libskinform.so");

const char kDesign[] = R"(<ui version="4.0">
 <class>FrmMain</class>
 <widget class="QWidget" name="FrmMain">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
  <widget class="AdvWin" name="AdvWin1">
   <property name="geometry"><rect><x>10</x><y>10</y><width>120</width><height>90</height></rect></property>
   <property name="Skin_Txt_File"><string>Form11GiF1.txt</string></property>
   <property name="Target_Caption"><string>Songwell</string></property>
   <property name="X_Plus"><number>3</number></property>
   <property name="Y_Plus"><number>-4</number></property>
  </widget>
 </widget>
</ui>
)";

class SkinformPluginTest : public ::testing::Test {
protected:
    void SetUp() override { skintest::App(); }
};

bool SettingMousePosRaises387(QObject* control) {
    control->setProperty("Mouse_X_Pos", 5);
    uint code = 0;
    QMetaObject::invokeMethod(control, "ErrorCode", Q_RETURN_ARG(uint, code));
    QString taken;
    QMetaObject::invokeMethod(control, "TakeError", Q_RETURN_ARG(QString, taken));
    return code == 387;
}

TEST_F(SkinformPluginTest, ADesignLoadsTheControlWithItsValuesAtRunTime) {
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(SONGWELL_PLUGIN_DIR);
    ASSERT_TRUE(loader.availableWidgets().contains("AdvWin"));

    QByteArray design(kDesign);
    QBuffer buffer(&design);
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    ASSERT_NE(form, nullptr) << loader.errorString().toStdString();
    QWidget* control = form->findChild<QWidget*>("AdvWin1");
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), "AdvWin");
    EXPECT_EQ(control->property("Skin_Txt_File").toString(), "Form11GiF1.txt");
    EXPECT_EQ(control->property("Target_Caption").toString(), "Songwell");
    EXPECT_EQ(control->property("X_Plus").toInt(), 3);
    EXPECT_EQ(control->property("Y_Plus").toInt(), -4);
    EXPECT_EQ(control->size(), QSize(32, 32));
    // Loaded by a running host, the pointer position may be set.
    EXPECT_FALSE(SettingMousePosRaises387(control));
    EXPECT_EQ(control->property("Mouse_X_Pos").toInt(), 5);
}

TEST_F(SkinformPluginTest, ControlsMadeForDesignerAreInDesignMode) {
    QPluginLoader plugin(kPlugin);
    auto* factory = qobject_cast<QDesignerCustomWidgetInterface*>(plugin.instance());
    ASSERT_NE(factory, nullptr) << plugin.errorString().toStdString();
    EXPECT_EQ(factory->name(), "AdvWin");
    EXPECT_EQ(factory->includeFile(), "AdvWin.h");
    EXPECT_TRUE(factory->domXml().contains("<width>32</width>"));

    std::unique_ptr<QWidget> running(factory->createWidget(nullptr));
    EXPECT_FALSE(SettingMousePosRaises387(running.get()));

    QDesignerFormEditorInterface designer;
    factory->initialize(&designer);
    EXPECT_TRUE(factory->isInitialized());
    std::unique_ptr<QWidget> designed(factory->createWidget(nullptr));
    EXPECT_TRUE(SettingMousePosRaises387(designed.get()));
    EXPECT_EQ(designed->property("Mouse_X_Pos").toInt(), 0);
}

} // namespace
