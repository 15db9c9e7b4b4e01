// The converter view: the switch between the views, loading a source and
// converting it into a WAV file, and what a failed conversion shows.

#include "MprisService.h"
#include "PlayerTestSupport.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>

namespace playertest {
namespace {

const char* const kPlayerOnly[] = {
    "CustomListBox1", "PBarY1",  "PBarY2",  "lstPlayList1", "Label7",  "Label8",
    "Label12",        "Label19", "Label3",  "Label4",       "Label6",  "Image4",
    "Image8",         "Image9",  "Image13", "Image14",      "Image19", "Image24",
    "Image25",        "Image26", "Image28", "Image34",      "Image35", "Image36"};
const char* const kConverterOnly[] = {"Label13", "Label17", "Label14", "Label15", "Label16",
                                      "Text2",   "Text3",   "Label18", "Line9"};

class ConverterTest : public PlayerTest {
protected:
    bool Shown(const char* name) const { return Control(name)->isVisibleTo(window.get()); }
    QString Line(const char* name) const { return window->findChild<QLineEdit*>(name)->text(); }

    void LoadSource(const QString& path) {
        chosenFiles.append(path);
        Click("Label17");
    }
    // Converts into target; answers the progress line afterwards.
    QString ConvertTo(const QString& target) {
        chosenFiles.append(target);
        Click("Label18");
        return Label("Label20")->text();
    }

    testsupport::TempDir temp;
    QString TempFile(const char* name) const { return QString::fromStdString(temp.File(name)); }
};

TEST_F(ConverterTest, TheViewsShowExactlyTheirOwnControlsAndTheReturnReloadsSongOne) {
    LoadAndStart({Song("a_one.mp3"), Song("b_two.mp3")});
    window->PlaySong(2);
    ASSERT_TRUE(Playing());
    ASSERT_EQ(Loaded(), Song("b_two.mp3"));

    Click("Label5");
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(window->bUserStopped);
    EXPECT_EQ(beeps, 1);
    for (const char* name : kPlayerOnly)
        EXPECT_FALSE(Shown(name)) << name;
    for (const char* name : kConverterOnly)
        EXPECT_TRUE(Shown(name)) << name;
    EXPECT_TRUE(Shown("Label5"));
    EXPECT_FALSE(Shown("Label20"));
    EXPECT_EQ(Control("Label1")->width(), 205);
    EXPECT_EQ(Label("Label14")->text(), "1.Push button 'Load' and select mp3 file.              "
                                        "2.Push button 'To WAV', print file name, save file.");
    window->StatusTick();
    EXPECT_FALSE(Playing()) << "the tick must not go on with the list";

    Click("Label13");
    EXPECT_EQ(beeps, 2);
    for (const char* name : kPlayerOnly)
        EXPECT_TRUE(Shown(name)) << name;
    for (const char* name : kConverterOnly)
        EXPECT_FALSE(Shown(name)) << name;
    EXPECT_FALSE(Shown("Label11"));
    EXPECT_EQ(Control("Label1")->width(), 153);
    EXPECT_EQ(Loaded(), Song("a_one.mp3"));
    EXPECT_FALSE(Playing());
    EXPECT_EQ(window->iCurrentSong, 1);
}

// The brightness of the window's rendering at the middle of a control.
int Brightness(QWidget* form, QWidget* control) {
    const QImage image = form->grab().toImage();
    const QPoint middle = control->mapTo(form, control->rect().center());
    return qGray(image.pixel(middle));
}

TEST_F(ConverterTest, TheConverterShadesTheKeysAndTheGrooveItCannotUse) {
    LoadAndStart({Song("a_one.mp3")});
    window->StopSong();
    QWidget* form = Control("Skin")->parentWidget();
    const char* unusable[] = {"Image9", "Image15", "Image20", "Image5", "Image27", "PBarY1"};
    std::vector<int> player;
    for (const char* name : unusable)
        player.push_back(Brightness(form, Control(name)));
    const int label_before = Brightness(form, Control("Label5"));

    Click("Label5");
    for (std::size_t i = 0; i < std::size(unusable); ++i)
        EXPECT_LT(Brightness(form, Control(unusable[i])), player[i] * 2 / 3 + 1) << unusable[i];
    EXPECT_EQ(Brightness(form, Control("Label5")), label_before) << "the way back is not shaded";

    Click("Label13");
    for (std::size_t i = 0; i < std::size(unusable); ++i)
        EXPECT_EQ(Brightness(form, Control(unusable[i])), player[i]) << unusable[i];
}

TEST_F(ConverterTest, AFreshPlayerStartsNoSongWhileTheConverterIsShown) {
    // Nothing is loaded yet: songs dropped on the converter wait for the
    // player view.
    Click("Label5");
    window->AppendPaths({Song("a_one.mp3")});
    window->StatusTick();
    EXPECT_FALSE(Playing());

    Click("Label13");
    EXPECT_EQ(Loaded(), Song("a_one.mp3"));
    EXPECT_FALSE(Playing());
}

TEST_F(ConverterTest, TheTimeLineShowsSecondsInTheirShortestForm) {
    const std::pair<int, const char*> cases[] = {{245312, "Time:  245.312 sec."},
                                                 {1000, "Time:  1 sec."},
                                                 {2500, "Time:  2.5 sec."},
                                                 {0, "Time:  0 sec."},
                                                 {-1500, "Time: -1.5 sec."}};
    for (const auto& [milliseconds, caption] : cases)
        EXPECT_EQ(Form1::TimeCaption(milliseconds), caption) << milliseconds;
}

TEST_F(ConverterTest, LoadShowsTheSourcesNameFormatAndLength) {
    Click("Label5");
    Click("Label17"); // cancelled
    EXPECT_EQ(Line("Text2"), "");
    LoadSource(Song("short.mp3"));
    EXPECT_EQ(dialogTitles.last(), "Select MP3 file");
    EXPECT_EQ(Line("Text2"), "Name: short.mp3");
    EXPECT_EQ(Line("Text3"), "Info: " + Ask<QString>("GetInfo"));
    EXPECT_TRUE(Line("Text3").contains("44.1 kHz")) << Line("Text3").toStdString();
    // The box is narrower than the line: the tool tip holds all of it.
    EXPECT_EQ(window->findChild<QLineEdit*>("Text3")->toolTip(), Line("Text3"));
    EXPECT_EQ(Label("Label16")->text(), Form1::TimeCaption(Ask<int>("GetLength")));
    EXPECT_TRUE(Label("Label16")->text().startsWith("Time:  2"))
        << Label("Label16")->text().toStdString();
}

TEST_F(ConverterTest, AConversionWritesTheSameWavAsTheCommandLine) {
    Click("Label5");
    LoadSource(Song("short.mp3"));
    // Partly played: the conversion still starts at the first frame.
    Ask<int>("Play");
    ASSERT_TRUE(WaitFor([&] { return Position() > 10; }));
    Ask<int>("Stop");

    const QString wav = TempFile("out"); // the extension is added
    EXPECT_EQ(ConvertTo(wav), "Completed...");
    EXPECT_EQ(dialogTitles.last(), "Save WAV file");
    EXPECT_TRUE(WaitFor([&] { return !Label("Label20")->isVisibleTo(window.get()); }, 4000));
    EXPECT_TRUE(Label("Label14")->isVisibleTo(window.get()));

    const QString reference = TempFile("reference.wav");
    ASSERT_EQ(QProcess::execute(QString::fromStdString(testsupport::BinPath("audiocore")),
                                {"convert", Song("short.mp3"), reference}),
              0);
    const auto written = testsupport::ReadFile(temp.File("out.wav"));
    ASSERT_GT(written.size(), 44u);
    EXPECT_EQ(written, testsupport::ReadFile(reference.toStdString()));
}

TEST_F(ConverterTest, AFailedConversionSaysWhatFailedAndTheProgramGoesOn) {
    Click("Label5");
    Click("Label18");
    EXPECT_TRUE(Label("Label20")->text().startsWith("Nothing to convert"));
    EXPECT_TRUE(dialogTitles.isEmpty()) << "no save dialog without a source";

    LoadSource(Song("short.mp3"));
    const QString missingFolder = TempFile("missing/out.wav");
    EXPECT_EQ(ConvertTo(missingFolder),
              "Failed: the folder of " + missingFolder + " does not exist.");
    EXPECT_FALSE(QFile::exists(missingFolder));
    const QString folder = TempFile("folder.wav");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(ConvertTo(folder), "Failed: " + folder + " is a folder.");
    EXPECT_TRUE(Label("Label20")->isVisibleTo(window.get())) << "a failure stays readable";

    // A source that can no longer be decoded.
    const QString broken = TempFile("broken.mp3");
    ASSERT_TRUE(QFile::copy(Song("short.mp3"), broken));
    LoadSource(broken);
    QFile damage(broken);
    ASSERT_TRUE(damage.open(QFile::WriteOnly | QFile::Truncate));
    damage.write(QByteArray(4096, '\x55'));
    damage.close();
    EXPECT_EQ(ConvertTo(TempFile("broken.wav")), "Failed: the source cannot be decoded.");
    EXPECT_FALSE(QFile::exists(TempFile("broken.wav")));

    LoadSource(Song("short.mp3"));
    EXPECT_EQ(ConvertTo(TempFile("good.wav")), "Completed...");
    EXPECT_TRUE(QFile::exists(TempFile("good.wav")));
}

TEST_F(ConverterTest, NothingPlaysInTheConverterWhateverAsksForIt) {
    LoadAndStart({Song("a_one.mp3")});
    Click("Label5");
    LoadSource(Song("b_two.mp3"));
    ASSERT_FALSE(Playing());
    MprisService service(*window);
    auto* mpris = new MprisPlayer(service);
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(window.get(), Qt::Key_Space);
        QTest::keyClick(window.get(), Qt::Key_Return);
        mpris->PlayPause();
        mpris->Play();
        mpris->Next();
        mpris->Previous();
        window->StatusTick();
        QTest::qWait(600); // past the pause indicator's blink
        EXPECT_FALSE(Playing());
        EXPECT_EQ(mpris->PlaybackStatus(), "Stopped");
        EXPECT_FALSE(mpris->CanPlay());
        for (const char* name : {"Label11", "Image4", "lstPlayList1"})
            EXPECT_FALSE(Control(name)->isVisibleTo(window.get())) << name;
        for (const char* lamp : kPlayingLamps)
            EXPECT_FALSE(Control(lamp)->isVisibleTo(window.get())) << lamp;
        EXPECT_FALSE(Label("Label9")->text().startsWith("Now:"));
        EXPECT_EQ(Loaded(), Song("b_two.mp3")) << "the converter's source stays loaded";
    }
    // Back in the player the keys play again.
    Click("Label13");
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_TRUE(Playing());
}

} // namespace
} // namespace playertest
