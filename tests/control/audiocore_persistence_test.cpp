// The Audiocore control's saved properties: names, order, defaults, and that
// loading a saved source file opens it.

#include "Audiocore.h"
#include "AudiocoreErrors.h"
#include "MemoryPropertyBag.h"
#include "TestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "audiocore_persistence_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

using MemoryBag = testsupport::MemoryPropertyBag;

const QStringList kDesignedOrder = {"Volume", "OutputDevID", "SourceFile"};

TEST(AudiocorePersistence, DefaultsAreNotStoredAndChangesComeBack) {
    App();
    Audiocore control;
    MemoryBag bag;
    control.writeProperties(bag);
    EXPECT_TRUE(bag.values.empty());
    EXPECT_EQ(bag.order, kDesignedOrder);

    const std::string source = testsupport::SharedPath("vectors/l2-fl10.bit");
    control.setProperty("Volume", 32768);
    control.setProperty("OutputDevID", 2);
    control.setProperty("SourceFile", QString::fromStdString(source));
    EXPECT_TRUE(control.isModified());
    MemoryBag saved;
    control.writeProperties(saved);
    EXPECT_EQ(saved.values.size(), 3);

    Audiocore restored;
    saved.order.clear();
    restored.readProperties(saved);
    EXPECT_EQ(saved.order, kDesignedOrder);
    EXPECT_EQ(restored.Volume(), 32768);
    EXPECT_EQ(restored.OutputDevID(), 2);
    EXPECT_EQ(restored.SourceFile().toStdString(), source);
    // The saved source file was opened on load.
    EXPECT_EQ(restored.GetFrameCount(), 49);

    restored.resetState();
    EXPECT_EQ(restored.Volume(), 65535);
    EXPECT_EQ(restored.OutputDevID(), 0);
    EXPECT_EQ(restored.SourceFile(), QString());
}

TEST(AudiocorePersistence, ASavedSourceThatNoLongerOpensRaisesTheControlError) {
    App();
    MemoryBag saved;
    saved.values["SourceFile"] = QStringLiteral("/nonexistent/song.mp3");
    Audiocore control;
    control.readProperties(saved);
    EXPECT_EQ(control.ErrorCode(), audiocore::kErrorFileNotFound);
    EXPECT_EQ(control.TakeError(), QStringLiteral("Open source file error!"));
    EXPECT_EQ(control.ErrorCode(), 0u) << "taken once";
    EXPECT_EQ(control.GetInfo(), QString());
}

TEST(AudiocorePersistence, KeepsItsSizeAndShowsOnlyInADesigner) {
    App();
    QWidget form;
    auto* designed = new Audiocore(&form);
    designed->setUserMode(false);
    auto* running = new Audiocore(&form);
    running->resize(200, 100);
    form.show();
    EXPECT_TRUE(designed->isVisible());
    EXPECT_FALSE(running->isVisible());
    EXPECT_EQ(running->size(), QSize(32, 32));
    QImage drawn = designed->grab().toImage();
    EXPECT_EQ(drawn.size(), QSize(32, 32));
    EXPECT_NE(drawn.pixelColor(16, 16), drawn.pixelColor(31, 31)); // icon over the edge
}

} // namespace
