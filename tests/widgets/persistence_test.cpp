#include "CustomListBox.h"
#include "MemoryPropertyBag.h"
#include "PBarY.h"
#include "WidgetTestSupport.h"

#include <QMetaProperty>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QPixmap Picture(QColor colour) {
    QPixmap picture(6, 4);
    picture.fill(colour);
    return picture;
}

// The control's own properties, by name, comparable across instances.
QMap<QString, QVariant> DesignedProperties(const QObject& control) {
    QMap<QString, QVariant> result;
    const QMetaObject* meta = control.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        QVariant value = property.read(&control);
        if (value.metaType() == QMetaType::fromType<QPixmap>())
            value = value.value<QPixmap>().toImage();
        result.insert(property.name(), value);
    }
    return result;
}

TEST(Persistence, CustomListBoxRoundTripsEveryProperty) {
    widgettest::App();
    CustomListBox saved;
    saved.setBackColor(0x00102030);
    saved.setForeColor(0x00FFFFFF);
    saved.setScrollBarBackColor(0x80000005);
    saved.setScrollBarBorderColor(0x00000080);
    saved.setSelBoxColor(0x00FF8000);
    saved.setSorted(true);
    saved.setGraphical(false);
    saved.setPicture(Picture(Qt::darkCyan));
    QFont font(QStringLiteral("DejaVu Serif"), 11);
    font.setBold(true);
    saved.setFontInfo(font);
    saved.AddItem(QStringLiteral("not persisted"), -1);

    testsupport::MemoryPropertyBag bag;
    saved.writeProperties(bag);
    EXPECT_EQ(bag.values.size(), 9);
    CustomListBox loaded;
    loaded.readProperties(bag);
    EXPECT_EQ(DesignedProperties(loaded), DesignedProperties(saved));
    EXPECT_EQ(loaded.LCount(), 0);
}

TEST(Persistence, CustomListBoxStoresNothingAtItsDefaults) {
    widgettest::App();
    CustomListBox fresh;
    testsupport::MemoryPropertyBag bag;
    fresh.writeProperties(bag);
    EXPECT_TRUE(bag.values.isEmpty()) << bag.values.keys().join(",").toStdString();
    EXPECT_EQ(bag.writes,
              QStringList({"BackColor", "FontInfo", "ForeColor", "Graphical", "Picture",
                           "ScrollBarBackColor", "ScrollBarBorderColor", "SelBoxColor", "Sorted"}));

    CustomListBox loaded;
    loaded.readProperties(bag);
    EXPECT_EQ(DesignedProperties(loaded), DesignedProperties(fresh));
    EXPECT_EQ(bag.reads,
              QStringList({"BackColor", "ForeColor", "ScrollBarBackColor", "ScrollBarBorderColor",
                           "SelBoxColor", "Sorted", "Graphical", "Picture", "FontInfo"}));
}

TEST(Persistence, PBarYRoundTripsEveryProperty) {
    widgettest::App();
    PBarY saved;
    saved.resize(400, 12);
    saved.setMin(-20);
    saved.setMax(300);
    saved.setValue(123);
    saved.setBackColor(0x00203040);
    saved.setFillColor(0x00808000);
    saved.setBorderColor(0x00008080);
    saved.setBorderStyle(3);
    saved.setMouseIcon(Picture(Qt::magenta));
    saved.setMousePointer(99);
    saved.setBackStyle(1);
    saved.setPicForeColor(0x00111111);
    saved.setPicFillColor(0x00EEEEEE);
    saved.setPicStep(25);
    saved.setStyle(1);

    testsupport::MemoryPropertyBag bag;
    saved.writeProperties(bag);
    EXPECT_EQ(bag.values.size(), 14); // all but EnabledSlider, still at its default
    PBarY loaded;
    loaded.resize(400, 12);
    loaded.readProperties(bag);
    EXPECT_EQ(DesignedProperties(loaded), DesignedProperties(saved));
}

TEST(Persistence, PBarYStoresNothingAtItsDefaultsAndLoadsInItsOrder) {
    widgettest::App();
    PBarY fresh;
    testsupport::MemoryPropertyBag bag;
    fresh.writeProperties(bag);
    EXPECT_TRUE(bag.values.isEmpty()) << bag.values.keys().join(",").toStdString();
    EXPECT_EQ(bag.writes.size(), 15);

    PBarY loaded;
    loaded.readProperties(bag);
    EXPECT_EQ(DesignedProperties(loaded), DesignedProperties(fresh));
    EXPECT_EQ(bag.reads,
              QStringList({"Value", "Min", "Max", "BackColor", "FillColor", "BorderColor",
                           "BorderStyle", "EnabledSlider", "picForeColor", "picFillColor",
                           "picStep", "Style", "BackStyle", "MouseIcon", "MousePointer"}));
}

TEST(Persistence, PBarYLoadedWithoutSliderHasTheDefaultPointerAndNoIcon) {
    widgettest::App();
    testsupport::MemoryPropertyBag bag;
    bag.values.insert("EnabledSlider", false);
    bag.values.insert("MousePointer", 2);
    bag.values.insert("MouseIcon", Picture(Qt::red).toImage());
    PBarY loaded;
    loaded.readProperties(bag);
    EXPECT_FALSE(loaded.enabledSlider());
    EXPECT_EQ(loaded.mousePointer(), 0);
    EXPECT_TRUE(loaded.mouseIcon().isNull());
    EXPECT_FALSE(bag.reads.contains("MouseIcon"));
    EXPECT_FALSE(bag.reads.contains("MousePointer"));
}

TEST(Persistence, PBarYTakesAStoredStepAsItIsAndSurvivesBrokenValues) {
    widgettest::App();
    testsupport::MemoryPropertyBag bag;
    bag.values.insert("picStep", 3);
    bag.values.insert("Style", 1);
    bag.values.insert("Value", 5000);
    bag.values.insert("Min", 100000);
    bag.values.insert("Max", QStringLiteral("not a number"));
    PBarY loaded;
    loaded.resize(300, 10);
    loaded.readProperties(bag);
    EXPECT_EQ(loaded.picStep(), 3);
    EXPECT_EQ(loaded.min(), 32767); // held at the 16-bit limit
    EXPECT_EQ(loaded.max(), 0);
    EXPECT_GE(loaded.value(), loaded.max());
    EXPECT_LE(loaded.value(), loaded.min());
}

} // namespace
