// The main window's table of click areas against its design: a name that the
// design lacks would leave a key that silently does nothing.

#include "MainWindowAreas.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

QSet<QString> DesignNames() {
    QFile design(QStringLiteral(":/player/Form1.ui"));
    EXPECT_TRUE(design.open(QFile::ReadOnly));
    QSet<QString> names;
    QXmlStreamReader xml(&design);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"widget")
            names.insert(xml.attributes().value("name").toString());
    return names;
}

TEST(ClickAreas, EveryNameInTheTableIsInTheDesign) {
    const QSet<QString> names = DesignNames();
    ASSERT_TRUE(names.contains("Form1"));
    QSet<QString> seen;
    for (const ClickArea& area : MainWindowAreas()) {
        EXPECT_TRUE(names.contains(area.name)) << area.name;
        EXPECT_FALSE(seen.contains(area.name)) << area.name << " is listed twice";
        seen.insert(area.name);
        for (const char* lamp : area.lamps)
            EXPECT_TRUE(names.contains(lamp)) << area.name << ": " << lamp;
        if (area.underline != nullptr)
            EXPECT_TRUE(names.contains(area.underline)) << area.name << ": " << area.underline;
        EXPECT_TRUE(area.command != Command::None || area.hint != nullptr)
            << area.name << " neither acts nor hints";
    }
}

} // namespace
