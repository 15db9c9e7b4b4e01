#include "CustomListBox.h"
#include "PBarY.h"
#include "WidgetTestSupport.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>

#include <gtest/gtest.h>

// Renders both controls in a few states into one picture, for a person to
// look at; the checks make sure the picture holds what it claims to show.

namespace {

QPixmap NoteIcon(QColor colour) {
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(160));
    painter.drawEllipse(QRectF(2, 9, 6, 5));
    painter.drawRect(QRectF(7, 2, 1.5, 10));
    painter.drawRect(QRectF(7, 2, 6, 2));
    return icon;
}

QPixmap BackgroundTile() {
    QPixmap tile(32, 32);
    QPainter painter(&tile);
    QLinearGradient shade(0, 0, 32, 32);
    shade.setColorAt(0, QColor(0x23, 0x2B, 0x38));
    shade.setColorAt(1, QColor(0x2C, 0x36, 0x46));
    painter.fillRect(tile.rect(), shade);
    painter.setPen(QColor(0x33, 0x3E, 0x50));
    painter.drawLine(0, 31, 31, 0);
    return tile;
}

TEST(Screenshot, BothControlsInSeveralStates) {
    widgettest::App();
    QWidget host;
    host.resize(460, 250);
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, QColor(0x1B, 0x21, 0x2C));
    host.setPalette(palette);

    auto* plain = new CustomListBox(&host);
    plain->setGeometry(10, 10, 210, 150);
    plain->AddImage(NoteIcon(QColor(0x2E, 0x86, 0xDE)));
    plain->AddImage(NoteIcon(QColor(0xE6, 0x7E, 0x22)));
    const char* songs[] = {
        "Morning Light - Aster Vale", "Harbour Lights - The Quays", "Slow River - Mira Holt",
        "Paper Moons - Kite Season",  "Northbound - Ela Brandt",    "Glass Houses - Lumen Trio",
        "Open Roads - Fen & Field",   "Quiet Hours - Sola",         "Copper Sky - The Meridians",
        "Last Tram Home - June Ward", "Salt and Cedar - Oriel",     "Long Weekend - Parkside",
        "Tidewater - Noor Kell",      "Amber Fields - Hollis",      "Night Ferry - Vesna Lark",
        "Small Hours - Tern"};
    int index = 0;
    for (const char* song : songs)
        plain->AddItem(QString::fromUtf8(song), index++ % 2);
    plain->setSelBoxColor(0x00F0D8B0); // a light blue box
    plain->setGraphical(false);

    auto* tiled = new CustomListBox(&host);
    tiled->setGeometry(240, 10, 210, 150);
    tiled->setPicture(BackgroundTile());
    tiled->setForeColor(0x00F0E8E0);
    tiled->setSelBoxColor(0x00A06A2E);
    tiled->setScrollBarBackColor(0x00403228);
    tiled->setScrollBarBorderColor(0x00604C3C);
    tiled->setSorted(true);
    for (const char* song : {"Zephyr", "alder", "Birch", "cedar", "Maple"})
        tiled->AddItem(QString::fromUtf8(song), -1);
    tiled->MoveDown(); // nothing selected yet: stays
    tiled->show();

    auto* volume = new PBarY(&host);
    volume->setGeometry(10, 175, 440, 14);
    volume->setBackStyle(1);
    volume->setBackColor(0x00403228);
    volume->setFillColor(0x0022C0F0);
    volume->setBorderColor(0x001080B0);
    volume->setBorderStyle(1);
    volume->setValue(62);

    auto* seek = new PBarY(&host);
    seek->setGeometry(10, 200, 440, 14);
    seek->setBackStyle(1);
    seek->setBackColor(0x00281E18);
    seek->setStyle(1);
    seek->setPicStep(6);
    seek->setValue(38);

    auto* empty = new PBarY(&host);
    empty->setGeometry(10, 225, 440, 14);
    empty->setBackStyle(1);
    empty->setBackColor(0x00403228);
    empty->setMin(5);
    empty->setMax(5);

    host.show();
    // Select a row in the tiled list by the mouse, as a user does.
    auto* tiledList = tiled->findChild<QWidget*>("TheList");
    widgettest::SendMouse(*tiledList, QEvent::MouseButtonPress, {20, 30}, Qt::LeftButton,
                          Qt::LeftButton);

    auto* plainList = plain->findChild<QWidget*>("TheList");
    widgettest::SendMouse(*plainList, QEvent::MouseButtonPress, {20, 2}, Qt::LeftButton,
                          Qt::LeftButton);
    for (int i = 0; i < 13; ++i)
        plain->MoveDown();

    const QImage shot = host.grab().toImage();
    ASSERT_TRUE(QDir().mkpath(LUMEN_SCREENSHOT_DIR));
    const QString file = QDir(LUMEN_SCREENSHOT_DIR).filePath("lumen-controls.png");
    ASSERT_TRUE(shot.save(file));
    const QImage read(file);
    ASSERT_EQ(read.size(), host.size() * host.devicePixelRatio());
    EXPECT_EQ(plain->Listindex(), 13);
    EXPECT_GE(tiled->Listindex(), 0);
    // The volume bar shows 62 % of its width filled.
    EXPECT_EQ(read.pixelColor(10 + 440 * 62 / 100 - 3, 182), QColor(0xF0, 0xC0, 0x22));
    EXPECT_NE(read.pixelColor(10 + 440 * 62 / 100 + 3, 182), QColor(0xF0, 0xC0, 0x22));
}

} // namespace
