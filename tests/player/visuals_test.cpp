// Button feedback: hints under the pointer, lamps and underlines while a
// button is held, the hint-line switch, the help page and dropped files.

#include "PlayerTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>

namespace playertest {
namespace {

class VisualsTest : public PlayerTest {
protected:
    void MoveOver(QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    void MoveOverBackground() {
        QWidget* surface = Control("Skin")->parentWidget();
        // Right of the minimise key, left of nothing but the skin.
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 10),
                         surface->mapToGlobal(QPointF(300, 10)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    }
    bool Lit(const char* lamp) const { return Control(lamp)->isVisibleTo(window.get()); }
    QStringList LitLamps() const {
        QStringList lit;
        for (const char* lamp : {"Image29", "Image30", "Image31", "Image32"})
            if (Lit(lamp))
                lit.append(lamp);
        return lit;
    }
    // The colour the 1-pixel line is drawn in, from its own rendering.
    QColor LineColour(const char* line) const {
        QWidget* widget = Control(line);
        const QImage image = widget->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }
};

TEST_F(VisualsTest, EachControlNamesItsCommandAndTheBackgroundClearsTheLine) {
    const std::pair<const char*, const char*> hints[] = {
        {"CustomListBox1", "DblClick play song"},
        {"Image9", "Play or paused"},
        {"Image13", "Play or paused"},
        {"Image16", "Next song"},
        {"Image19", "Previous song"},
        {"Image24", "Previous song"},
        {"Image4", "Stop"},
        {"Image25", "Stop"},
        {"Image26", "'Standard' play all and stop"},
        {"Image27", "Shuffle"},
        {"Image28", "Repeat all"},
        {"Image33", "Help off/on"},
        {"Image34", "Load song"},
        {"Label6", "Load song"},
        {"Image35", "Load all songs in folder"},
        {"Label3", "Clear play list"},
        {"Label4", " Remove one song"},
        {"Label5", "Convert mp3 to WAV"},
        {"Label19", "Select song for info."},
        {"PBarY1", "Volume"},
        {"PBarY2", "Seek"},
    };
    for (const auto& [control, hint] : hints) {
        MoveOverBackground();
        EXPECT_EQ(Label("Label9")->text(), " ");
        MoveOver(Control(control));
        EXPECT_EQ(Label("Label9")->text(), hint) << control;
    }
    MoveOver(Control("Image3"));
    EXPECT_TRUE(Label("Label9")->text().startsWith("Welcome to Songwell"));

    // The list's own surface is part of the list.
    MoveOverBackground();
    MoveOver(ListSurface());
    EXPECT_EQ(Label("Label9")->text(), "DblClick play song");

    Click("Label5");
    MoveOver(Control("Label13"));
    EXPECT_EQ(Label("Label9")->text(), "Back");
}

TEST_F(VisualsTest, LampsAndUnderlinesFollowThePresses) {
    const std::pair<const char*, QStringList> lamps[] = {
        {"Image26", {"Image29", "Image30"}},
        {"Image3", {"Image29", "Image30"}},
        {"Image8", {"Image31", "Image32"}},
        {"Image17", {"Image29"}},
    };
    for (const auto& [control, lit] : lamps) {
        QTest::mousePress(Control(control), Qt::LeftButton);
        EXPECT_EQ(LitLamps(), lit) << control;
        QTest::mouseRelease(Control(control), Qt::LeftButton);
        EXPECT_TRUE(LitLamps().isEmpty()) << control;
    }

    const std::pair<const char*, const char*> underlines[] = {
        {"Label3", "Line8"}, {"Label4", "Line7"},   {"Label5", "Line6"},
        {"Label6", "Line5"}, {"Image35", "Line10"}, {"Image33", "Line11"},
    };
    chosenFolder.clear();
    for (const auto& [control, line] : underlines) {
        QTest::mousePress(Control(control), Qt::LeftButton);
        EXPECT_TRUE(Control(line)->isVisibleTo(window.get())) << control;
        EXPECT_TRUE(Control(line)->styleSheet().contains("#FF0000")) << control;
        EXPECT_EQ(LineColour(line), QColor(0xFF, 0, 0)) << control;
        // Moved off before release: no click, and the line stays, dimmed.
        QTest::mouseRelease(Control(control), Qt::LeftButton, {}, QPoint(-5, -5));
        EXPECT_TRUE(Control(line)->isVisibleTo(window.get())) << control;
        EXPECT_EQ(LineColour(line), QColor(0x80, 0x40, 0x40)) << control;
    }
    EXPECT_FALSE(Control("Label13")->isVisibleTo(window.get())) << "the press was no click";
}

TEST_F(VisualsTest, PlayLightsAllFourLampsAndTheTickKeepsThePlayingPair) {
    LoadAndStart({Song("a_one.mp3")});
    window->StopSong();
    window->StatusTick();
    ASSERT_TRUE(LitLamps().isEmpty());
    Press("Image11");
    EXPECT_EQ(LitLamps().size(), 4);
    QTest::mouseRelease(Control("Image11"), Qt::LeftButton);
    ASSERT_TRUE(Playing());
    EXPECT_TRUE(LitLamps().isEmpty());
    window->StatusTick();
    EXPECT_EQ(LitLamps(), QStringList({"Image31", "Image32"}));
}

TEST_F(VisualsTest, LongTitlesEndInAnEllipsisAndTheFormatLineBreaksBetweenItsParts) {
    QTemporaryDir folder;
    const QString name = QString("A Title Much Too Long For The Line ").repeated(6).trimmed();
    const QString song = folder.filePath(name + ".mp3");
    ASSERT_TRUE(QFile::copy(Song("short.mp3"), song));
    LoadAndStart({song});
    window->StatusTick();

    QLabel* now = Label("Label9");
    EXPECT_TRUE(now->text().startsWith("Now:A Title"));
    EXPECT_TRUE(now->text().endsWith(QChar(0x2026))) << now->text().toStdString();
    EXPECT_LE(now->fontMetrics().horizontalAdvance(now->text()), now->contentsRect().width());

    // "MPEG-1 layer III, Single channel, 44.1 kHz": lines end only after a
    // comma, so "44.1 kHz" stays whole, and each line fits.
    QLabel* format = Label("Label8");
    const QStringList lines = format->text().split('\n');
    ASSERT_GE(lines.size(), 2);
    for (int i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith(',')) << lines[i].toStdString();
    EXPECT_TRUE(lines.last().endsWith("kHz")) << lines.last().toStdString();
    for (const QString& line : lines)
        EXPECT_LE(format->fontMetrics().horizontalAdvance(line), format->contentsRect().width());
    EXPECT_LE(lines.size() * format->fontMetrics().lineSpacing(),
              format->contentsRect().height() + 2);
}

TEST_F(VisualsTest, TheSwitchHidesTheHintLineWhichStillTakesHints) {
    Click("Image33");
    EXPECT_FALSE(Label("Label9")->isVisibleTo(window.get()));
    MoveOver(Control("Image27"));
    Click("Image33");
    EXPECT_TRUE(Label("Label9")->isVisibleTo(window.get()));
    EXPECT_EQ(Label("Label9")->text(), "Shuffle") << "written while hidden";
    MoveOver(Control("Image28"));
    EXPECT_EQ(Label("Label9")->text(), "Repeat all");
}

TEST_F(VisualsTest, TheLogoOpensTheInstalledHelpPage) {
    Click("Image3");
    ASSERT_EQ(openedUrls.size(), 1);
    const QUrl page = openedUrls.first();
    EXPECT_TRUE(page.isLocalFile());
    EXPECT_EQ(page.toString(), Label("Label10")->text());
    QFile file(page.toLocalFile());
    ASSERT_TRUE(file.open(QFile::ReadOnly)) << page.toString().toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("Songwell is an MP3 player"));
    EXPECT_TRUE(text.contains("Converting to WAV"));
}

TEST_F(VisualsTest, DroppedFilesAndFoldersJoinThePlayList) {
    testsupport::TempDir folder;
    for (const char* name : {"x.mp3", "y.mp3"})
        ASSERT_TRUE(QFile::copy(Song("short.mp3"), QString::fromStdString(folder.File(name))));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Song("a_one.mp3")),
                  QUrl::fromLocalFile(QString::fromStdString(folder.path().string()))});
    const QPointF at(200, 150);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    ASSERT_EQ(window->lstFilenames.size(), 3);
    EXPECT_EQ(window->lstFilenames.first(), Song("a_one.mp3"));
    EXPECT_EQ(ListCount(), 3);
}

} // namespace
} // namespace playertest
