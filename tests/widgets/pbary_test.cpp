#include "PBarY.h"
#include "WidgetTestSupport.h"

#include <QMetaProperty>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using widgettest::SendMouse;

class PBarYTest : public testing::Test {
protected:
    void SetUp() override {
        widgettest::App();
        bar = std::make_unique<PBarY>();
        bar->resize(200, 10);
        bar->show();
        QObject::connect(bar.get(), &PBarY::ChangeValue,
                         [this](int now, int old) { changes.emplace_back(now, old); });
    }

    QWidget& shape1() { return *bar->findChild<QWidget*>("Shape1"); }
    QColor shown(int x, int y) { return widgettest::Pixels(*bar).pixelColor(x, y); }

    void press(double x, Qt::MouseButton button = Qt::LeftButton) {
        SendMouse(*bar, QEvent::MouseButtonPress, {x, 5}, button, button);
    }
    void move(double x, Qt::MouseButtons buttons) {
        SendMouse(*bar, QEvent::MouseMove, {x, 5}, Qt::NoButton, buttons);
    }

    std::unique_ptr<PBarY> bar;
    std::vector<std::pair<int, int>> changes;
};

TEST_F(PBarYTest, NewBarHoldsItsDefaults) {
    EXPECT_EQ(bar->value(), 25);
    EXPECT_EQ(bar->min(), 0);
    EXPECT_EQ(bar->max(), 100);
    EXPECT_EQ(bar->picStep(), 50);
    EXPECT_EQ(bar->mousePointer(), 9);
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_TRUE(bar->enabledSlider());
}

TEST_F(PBarYTest, ValueIsClampedAndEachSetRaisesChangeValueOnce) {
    struct Case {
        int set;
        int stored;
    };
    for (const Case& c : {Case{150, 100}, Case{-5, 0}, Case{40, 40}, Case{100, 100}}) {
        changes.clear();
        bar->setValue(c.set);
        EXPECT_EQ(bar->value(), c.stored) << c.set;
        ASSERT_EQ(changes.size(), 1u) << c.set;
        EXPECT_EQ(changes[0], std::make_pair(c.stored, c.stored));
    }
}

TEST_F(PBarYTest, SolidBarIsAsWideAsTheValueShare) {
    bar->setValue(30);
    EXPECT_TRUE(shape1().isVisible());
    EXPECT_EQ(shape1().geometry(), QRect(0, 0, 60, 10));
    const QColor yellow(Qt::yellow); // FillColor 0x0000FFFF
    EXPECT_EQ(shown(0, 5), yellow);
    EXPECT_EQ(shown(59, 5), yellow);
    EXPECT_NE(shown(60, 5), yellow);
    bar->setFillColor(0x00FF0000); // blue
    EXPECT_EQ(shown(30, 5), QColor(Qt::blue));
}

TEST_F(PBarYTest, SteppedLinesAreColouredUpToTheValue) {
    bar->setBackColor(0x00000000);
    bar->setBackStyle(1);
    bar->setPicStep(20);
    bar->setStyle(1);
    bar->setValue(50); // position 100 of 200
    EXPECT_FALSE(shape1().isVisible());
    const QColor fill(0x00, 0xFF, 0xFF); // picFillColor 0x00FFFF00
    const QColor fore(0x40, 0x40, 0x40);
    for (int p = 0; p < 200; p += 20)
        EXPECT_EQ(shown(p, 5), p <= 100 ? fill : fore) << "line at " << p;
    EXPECT_EQ(shown(10, 5), QColor(Qt::black));
    EXPECT_EQ(shown(111, 5), QColor(Qt::black));

    bar->setValue(0); // lines past the value go back to the fore colour
    EXPECT_EQ(shown(0, 5), fill);
    EXPECT_EQ(shown(20, 5), fore);
    EXPECT_EQ(shown(100, 5), fore);
}

TEST_F(PBarYTest, PressPositionRoundsHalvesToEven) {
    bar->resize(128, 10);
    bar->setMax(64);
    struct Case {
        double x;
        int value;
    };
    for (const Case& c : {Case{1, 0}, Case{3, 2}, Case{5, 2}, Case{7, 4}, Case{2, 1}, Case{-30, 0},
                          Case{500, 64}, Case{128, 64}}) {
        press(c.x);
        EXPECT_EQ(bar->value(), c.value) << "x " << c.x;
    }
}

TEST_F(PBarYTest, OnlyALeftButtonDragMovesTheValue) {
    press(100);
    ASSERT_EQ(bar->value(), 50);
    move(20, Qt::RightButton);
    EXPECT_EQ(bar->value(), 50);
    move(20, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(bar->value(), 50);
    move(20, Qt::NoButton);
    EXPECT_EQ(bar->value(), 50);
    move(20, Qt::LeftButton);
    EXPECT_EQ(bar->value(), 10);
    press(160, Qt::RightButton); // a press with any button sets the value
    EXPECT_EQ(bar->value(), 80);
}

TEST_F(PBarYTest, DisabledSliderRaisesEventsButKeepsTheValue) {
    int downs = 0, moves = 0, ups = 0;
    QObject::connect(bar.get(), &PBarY::MouseDown, [&] { ++downs; });
    QObject::connect(bar.get(), &PBarY::MouseMove, [&] { ++moves; });
    QObject::connect(bar.get(), &PBarY::MouseUp, [&] { ++ups; });
    bar->setEnabledSlider(false);
    changes.clear();
    press(150);
    move(10, Qt::LeftButton);
    SendMouse(*bar, QEvent::MouseButtonRelease, {10, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar->value(), 25);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor); // the default arrow
}

TEST_F(PBarYTest, MinAndMaxLeaveTheValueAndRaiseNothing) {
    bar->setValue(50);
    changes.clear();
    bar->setMin(60);
    EXPECT_EQ(bar->value(), 50);
    EXPECT_EQ(shape1().width(), 0); // below the new range: an empty bar
    bar->setMax(40);
    EXPECT_EQ(bar->value(), 50);
    EXPECT_TRUE(changes.empty());
    bar->setMin(0);
    bar->setMax(100);
    EXPECT_EQ(shape1().width(), 100);
}

TEST_F(PBarYTest, PicStepStaysBetweenTenAndATenthOfTheWidth) {
    struct Case {
        int width;
        int requested;
        int stored;
    };
    for (const Case& c : {Case{200, 3, 10}, Case{1000, 500, 100}, Case{1000, 40, 40},
                          Case{200, 50, 20}, Case{25, 50, 2}, Case{4, 50, 1}, Case{0, 50, 1}}) {
        bar->resize(c.width, 10);
        bar->setPicStep(c.requested);
        EXPECT_EQ(bar->picStep(), c.stored) << c.width << " " << c.requested;
    }
}

TEST_F(PBarYTest, StepColoursRedrawOnlyInStyleOne) {
    bar->setStyle(2);
    changes.clear();
    bar->setPicForeColor(0x000000FF);
    bar->setPicFillColor(0x000000FF);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(bar->picForeColor(), 0x000000FFu);
    bar->setStyle(1);
    changes.clear();
    bar->setPicForeColor(0x0000FF00);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(PBarYTest, UnmappableRangeDrawsAnEmptyBarAndKeepsTheValueInRange) {
    struct Case {
        int min, max, set, expected;
    };
    for (const Case& c :
         {Case{10, 10, 50, 10}, Case{-30000, 30000, 99, 99}, Case{-30000, 30000, 31000, 30000}}) {
        bar->setStyle(0);
        bar->setMin(c.min);
        bar->setMax(c.max);
        bar->setValue(c.set);
        EXPECT_EQ(bar->value(), c.expected);
        EXPECT_EQ(shape1().width(), 0);
        press(150);
        EXPECT_EQ(bar->value(), c.expected);
        bar->setBackStyle(1);
        bar->setStyle(1); // stepped: every line in the fore colour
        EXPECT_EQ(shown(0, 5), QColor(0x40, 0x40, 0x40));
        bar->setBackStyle(0);
    }
}

TEST_F(PBarYTest, ReversedRangeRunsFromRightToLeft) {
    bar->setMin(100);
    bar->setMax(0);
    press(50);
    EXPECT_EQ(bar->value(), 75);
    bar->setValue(150);
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(PBarYTest, ExtremeSizesAndStepsNeverHang) {
    bar->setStyle(1);
    bar->resize(0, 0);
    bar->setValue(40);
    EXPECT_EQ(bar->value(), 40);
    bar->resize(3, 10);
    bar->setPicStep(-7);
    EXPECT_GE(bar->picStep(), 1);
    press(2);
    EXPECT_EQ(bar->value(), 67);
}

TEST_F(PBarYTest, EverySetterNotifiesTheHostUnderThePropertyName) {
    QStringList notified;
    QObject::connect(bar.get(), &PBarY::propertyChanged,
                     [&](const QString& name) { notified.append(name); });
    const QMetaObject* meta = bar->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        notified.clear();
        property.write(bar.get(), property.read(bar.get()));
        EXPECT_TRUE(notified.contains(property.name())) << property.name();
    }
}

} // namespace
