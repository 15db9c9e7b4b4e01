#include "AdvWin.h"
#include "MemoryPropertyBag.h"
#include "SkinTestSupport.h"
#include "SkinformErrors.h"

#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

namespace {

using RecordingBag = testsupport::MemoryPropertyBag;

const QStringList kPersistedOrder = {"Skin_Txt_File", "Target_Caption", "X_Plus",
                                     "Y_Plus",        "Mouse_X_Pos",    "Mouse_Y_Pos"};
const QVariantList kPersistedDefaults = {QString(), QString(), 0, 0, 0, 0};

class AdvWinTest : public ::testing::Test {
protected:
    void SetUp() override { skintest::App(); }
};

TEST_F(AdvWinTest, StartsWithTheDefaultsAndKeepsItsSize) {
    AdvWin control;
    EXPECT_EQ(control.Skin_Txt_File(), "");
    EXPECT_EQ(control.Target_Caption(), "");
    EXPECT_EQ(control.X_Plus(), 0);
    EXPECT_EQ(control.Y_Plus(), 0);
    EXPECT_EQ(control.Mouse_X_Pos(), 0);
    EXPECT_EQ(control.Mouse_Y_Pos(), 0);
    EXPECT_TRUE(control.userMode());
    EXPECT_EQ(control.size(), QSize(32, 32));
    control.resize(200, 120);
    control.setGeometry(5, 5, 64, 16);
    EXPECT_EQ(control.size(), QSize(32, 32));
}

TEST_F(AdvWinTest, PublishesEveryMemberWithItsDispatchId) {
    struct Member {
        const char* name;
        const char* dispId;
        bool property;
    };
    const Member members[] = {
        {"Skin_Txt_File", "0x68030005", true},  {"Target_Caption", "0x68030004", true},
        {"Cut_Window", "0x6003000B", false},    {"Win_Minimize", "0x6003000C", false},
        {"on_top", "0x6003000D", false},        {"On_Mouse_Down", "0x6003000E", false},
        {"On_Mouse_Move", "0x6003000F", false}, {"On_Mouse_Up", "0x60030010", false},
        {"X_Plus", "0x68030003", true},         {"Y_Plus", "0x68030002", true},
        {"Mouse_X_Pos", "0x68030001", true},    {"Mouse_Y_Pos", "0x68030000", true},
    };
    const QMetaObject& meta = AdvWin::staticMetaObject;
    for (const Member& m : members) {
        const int info = meta.indexOfClassInfo(QByteArray("DispId.") + m.name);
        ASSERT_GE(info, 0) << m.name;
        EXPECT_STREQ(meta.classInfo(info).value(), m.dispId) << m.name;
        if (m.property) {
            const QMetaProperty property = meta.property(meta.indexOfProperty(m.name));
            ASSERT_TRUE(property.isValid()) << m.name;
            EXPECT_TRUE(property.isWritable()) << m.name;
        } else {
            const int method = meta.indexOfMethod(QByteArray(m.name) + "()");
            ASSERT_GE(method, 0) << m.name;
            EXPECT_EQ(meta.method(method).methodType(), QMetaMethod::Method) << m.name;
        }
    }
    // Long properties cross as plain int, so hosts bind them by plain signatures.
    EXPECT_EQ(meta.property(meta.indexOfProperty("X_Plus")).metaType(), QMetaType::fromType<int>());
}

TEST_F(AdvWinTest, SettingAPropertyTellsTheHost) {
    AdvWin control;
    QSignalSpy changed(&control, &AdvWin::propertyChanged);
    ASSERT_TRUE(control.setProperty("Skin_Txt_File", "Form11GiF1.txt"));
    ASSERT_TRUE(control.setProperty("Y_Plus", -4));
    ASSERT_TRUE(control.setProperty("Mouse_X_Pos", 17));
    EXPECT_EQ(control.Skin_Txt_File(), "Form11GiF1.txt");
    EXPECT_EQ(control.Y_Plus(), -4);
    EXPECT_EQ(control.Mouse_X_Pos(), 17);
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed[0][0].toString(), "Skin_Txt_File");
    EXPECT_EQ(changed[2][0].toString(), "Mouse_X_Pos");
}

TEST_F(AdvWinTest, MousePositionCannotBeSetWhileDesigning) {
    AdvWin control;
    control.setProperty("Mouse_Y_Pos", 9);
    control.setUserMode(false);
    QSignalSpy changed(&control, &AdvWin::propertyChanged);
    for (const char* name : {"Mouse_X_Pos", "Mouse_Y_Pos"}) {
        control.setProperty(name, 42);
        EXPECT_EQ(control.ErrorCode(), 387u) << name;
        EXPECT_EQ(control.TakeError(), QStringLiteral("Set not permitted")) << name;
    }
    EXPECT_EQ(control.Mouse_X_Pos(), 0);
    EXPECT_EQ(control.Mouse_Y_Pos(), 9);
    EXPECT_EQ(changed.size(), 0);
    // The design properties stay settable.
    control.setProperty("X_Plus", 3);
    EXPECT_EQ(control.X_Plus(), 3);
}

TEST_F(AdvWinTest, SavesAndLoadsInItsOrderWithItsDefaults) {
    AdvWin saved;
    saved.setSkin_Txt_File("Form11GiF1.txt");
    saved.setTarget_Caption("Songwell");
    saved.setX_Plus(-3);
    saved.setMouse_Y_Pos(7);
    RecordingBag bag;
    saved.writeProperties(bag);
    EXPECT_EQ(bag.writes, kPersistedOrder);
    EXPECT_EQ(bag.writeDefaults, kPersistedDefaults);
    // Properties at their defaults are not stored.
    EXPECT_FALSE(bag.values.contains("Y_Plus"));
    EXPECT_FALSE(bag.values.contains("Mouse_X_Pos"));

    AdvWin loaded;
    loaded.setUserMode(false); // loading a design is not setting a property
    loaded.readProperties(bag);
    EXPECT_EQ(bag.reads, kPersistedOrder);
    EXPECT_EQ(bag.readDefaults, kPersistedDefaults);
    EXPECT_EQ(loaded.Skin_Txt_File(), "Form11GiF1.txt");
    EXPECT_EQ(loaded.Target_Caption(), "Songwell");
    EXPECT_EQ(loaded.X_Plus(), -3);
    EXPECT_EQ(loaded.Y_Plus(), 0);
    EXPECT_EQ(loaded.Mouse_Y_Pos(), 7);
}

TEST_F(AdvWinTest, AStoredValueThatIsNoNumberLoadsAsTheDefault) {
    RecordingBag bag;
    bag.values["X_Plus"] = QString("wide");
    bag.values["Y_Plus"] = QString("12");
    AdvWin control;
    control.setX_Plus(5);
    control.readProperties(bag);
    EXPECT_EQ(control.X_Plus(), 0);
    EXPECT_EQ(control.Y_Plus(), 12);
}

TEST_F(AdvWinTest, ADragThatWouldOverflowFailsAndLeavesTheWindow) {
    QWidget window;
    window.setWindowTitle("Overflow target");
    window.setGeometry(100, 100, 50, 50);
    const QPoint start = window.frameGeometry().topLeft();
    AdvWin control;
    control.setTarget_Caption("Overflow target");
    control.setMouse_X_Pos(INT_MIN);
    control.On_Mouse_Down();
    control.setMouse_X_Pos(INT_MAX);
    control.On_Mouse_Move();
    EXPECT_EQ(control.ErrorCode(), 6u);
    EXPECT_EQ(control.TakeError(), QStringLiteral("Overflow"));
    EXPECT_EQ(window.frameGeometry().topLeft(), start);
}

TEST_F(AdvWinTest, AnEmptyCaptionNamesNoWindow) {
    QTemporaryDir dir;
    skintest::WriteText(dir.filePath("a.txt"), skintest::kRectangle);
    QWidget untitled;
    untitled.setGeometry(0, 0, 200, 200);
    AdvWin control;
    control.setSkin_Txt_File(dir.filePath("a.txt"));
    control.Cut_Window();
    EXPECT_TRUE(untitled.mask().isEmpty());
}

} // namespace
