#include "OleColor.h"
#include "WidgetTestSupport.h"

#include <QPalette>

#include <gtest/gtest.h>

TEST(OleColor, PlainValuesHoldBlueGreenRedFromTheHighByteDown) {
    widgettest::App();
    struct Case {
        quint32 value;
        QColor expected;
    };
    const Case cases[] = {
        {0x00C0C000u, QColor(0x00, 0xC0, 0xC0)}, {0x000000FFu, QColor(0xFF, 0x00, 0x00)},
        {0x0000FF00u, QColor(0x00, 0xFF, 0x00)}, {0x00FF0000u, QColor(0x00, 0x00, 0xFF)},
        {0x00404040u, QColor(0x40, 0x40, 0x40)}, {0x00FFFFFFu, QColor(Qt::white)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lumen::ToQColor(c.value), c.expected) << std::hex << c.value;
}

TEST(OleColor, TopBitNamesASystemColourOfTheDesktopPalette) {
    widgettest::App();
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(lumen::ToQColor(0x80000005u), palette.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(lumen::ToQColor(0x8000000Du), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(lumen::ToQColor(0x8000000Fu), palette.color(QPalette::Active, QPalette::Button));
}

TEST(OleColor, UnknownSystemIndexGivesBlack) {
    widgettest::App();
    EXPECT_EQ(lumen::ToQColor(0x800000FFu), QColor(Qt::black));
    EXPECT_EQ(lumen::ToQColor(0x80010005u), QColor(Qt::black));
}
