#include "FrmID3.h"
#include "FrmID3Areas.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

#include <filesystem>
#include <memory>

using namespace songinfo;
using namespace testsupport;

namespace {

using ByteVector = std::vector<std::uint8_t>;

// The application lives from the first test to the last: a QApplication
// destroyed after main returns would outlive the Qt state it needs.
class QtApplication : public testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "tag_editor_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kQtApplication =
    testing::AddGlobalTestEnvironment(new QtApplication);

std::string Field(const std::string& text, std::size_t width, char pad) {
    return text + std::string(width - text.size(), pad);
}

// "TAG", the five padded texts and the genre byte.
std::string TagBody(const std::string& title, const std::string& artist, const std::string& album,
                    const std::string& year, const std::string& comment, char pad,
                    std::uint8_t genre) {
    return Field(title, 30, pad) + Field(artist, 30, pad) + Field(album, 30, pad) +
           Field(year, 4, pad) + Field(comment, 30, pad) + static_cast<char>(genre);
}

ByteVector Song() {
    return ReadFile(SharedPath("vectors/l3-compl.bit"));
}

ByteVector WithTag(ByteVector bytes, const std::string& body) {
    std::string tag = "TAG" + body;
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    return bytes;
}

std::string LastBlock(const ByteVector& bytes) {
    return std::string(bytes.end() - 128, bytes.end());
}

// An editor on a file, shown as the host would (without blocking the test).
struct OpenEditor {
    explicit OpenEditor(const std::string& path) : frm(nullptr, SONGWELL_PLUGIN_DIR) {
        frm.SetFilename(QString::fromStdString(path));
    }
    void Show() {
        frm.show();
        QApplication::processEvents();
    }
    template <typename T> T* Get(const char* name) { return frm.findChild<T*>(name); }
    QLineEdit* Box(const char* name) { return Get<QLineEdit>(name); }
    void Click(const char* name) {
        QWidget* widget = Get<QWidget>(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    FrmID3 frm;
};

// Sends a mouse event to the editor's surface (the loaded form).
void SendMouse(QWidget* form, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, form->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(form, &event);
}

class TagEditor : public testing::Test {
protected:
    TempDir dir;
};

} // namespace

TEST_F(TagEditor, IsAFramelessModalWindowCaptionedForItsSkinControl) {
    FrmID3 frm; // finds the plugin beside the program, as songwell does
    EXPECT_EQ(frm.windowTitle(), "FrmID3");
    EXPECT_TRUE(frm.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frm.isModal());
    QWidget* skin = frm.findChild<QWidget*>("AdvWin1");
    ASSERT_NE(skin, nullptr);
    EXPECT_STREQ(skin->metaObject()->className(), "AdvWin"); // from the plugin, by class name
    EXPECT_EQ(skin->property("Target_Caption").toString(), "FrmID3");
    EXPECT_EQ(skin->property("Skin_Txt_File").toString(), "");
    const std::pair<const char*, const char*> labels[] = {
        {"Label1", "Filename:"}, {"Label2", "Song:"},
        {"Label3", "Artist:"},   {"Label4", "Album:"},
        {"Label5", "Year:"},     {"Label6", "Genre: "},
        {"Label7", "Comments:"}, {"Label9", "Cancel"},
        {"Label10", "Save"},     {"Label11", "This file now is playing. Change song for writing."}};
    for (auto [name, text] : labels)
        EXPECT_EQ(frm.findChild<QLabel*>(name)->text(), text) << name;
    EXPECT_EQ(frm.findChild<QPushButton*>("cmdSave")->text(), "Save");
    EXPECT_EQ(frm.findChild<QPushButton*>("cmdCancel")->text(), "Cancel");
}

// The table of click areas against the design: a name the design lacks
// would leave a Save or Cancel that does nothing.
TEST_F(TagEditor, EveryClickAreaIsInTheDesignAndBothCommandsHaveAButton) {
    QFile design(QStringLiteral(":/songinfo/FrmID3.ui"));
    ASSERT_TRUE(design.open(QFile::ReadOnly));
    QHash<QString, QString> classes; // by name
    QXmlStreamReader xml(&design);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"widget")
            classes.insert(xml.attributes().value("name").toString(),
                           xml.attributes().value("class").toString());
    ASSERT_TRUE(classes.contains("txtSong"));
    QSet<QString> listed;
    QHash<EditorCommand, int> buttons;
    for (const EditorArea& area : FrmID3Areas()) {
        EXPECT_TRUE(classes.contains(area.name)) << area.name;
        EXPECT_FALSE(listed.contains(area.name)) << area.name << " is listed twice";
        listed.insert(area.name);
        if (classes.value(area.name) == "QPushButton")
            ++buttons[area.command];
    }
    EXPECT_EQ(buttons.value(EditorCommand::Save), 1);
    EXPECT_EQ(buttons.value(EditorCommand::Cancel), 1);
}

TEST_F(TagEditor, OpensOnATaggedFileWithTrimmedFieldsAndTheGenreName) {
    std::string path = dir.File("song.mp3");
    WriteFile(path, WithTag(Song(),
                            TagBody("  Yesterday", "Beatles", "Help", "1965", "Caf\xE9", ' ', 79)));
    OpenEditor editor(path);
    editor.Show();
    EXPECT_EQ(editor.Box("txtFilename")->text().toStdString(), path);
    EXPECT_EQ(editor.Box("Text1")->text().toStdString(), path);
    EXPECT_EQ(editor.Box("txtSong")->text(), "Yesterday");
    EXPECT_EQ(editor.Box("txtArtist")->text(), "Beatles");
    EXPECT_EQ(editor.Box("txtAlbum")->text(), "Help");
    EXPECT_EQ(editor.Box("txtYear")->text(), "1965");
    EXPECT_EQ(editor.Box("txtComments")->text(), QString::fromUtf8("Caf\u00E9"));
    EXPECT_EQ(editor.Box("txtGenre")->text(), "Hard Rock");
    EXPECT_FALSE(editor.Get<QLabel>("Label11")->isVisible());
}

TEST_F(TagEditor, BoxesHoldAtMostTheirFieldWidth) {
    OpenEditor editor(dir.File("none.mp3"));
    editor.Show();
    const std::pair<const char*, int> limits[] = {
        {"txtSong", 30}, {"txtArtist", 30}, {"txtAlbum", 30}, {"txtComments", 30}, {"txtYear", 4}};
    for (auto [name, limit] : limits) {
        QTest::keyClicks(editor.Box(name), QString(40, 'x'));
        EXPECT_EQ(editor.Box(name)->text().size(), limit) << name;
    }
}

TEST_F(TagEditor, SaveWritesTheBoxesAndKeepsTheGenre) {
    std::string path = dir.File("song.mp3");
    ByteVector before = WithTag(Song(), TagBody("Old", "Someone", "", "", "", '\0', 79));
    WriteFile(path, before);
    for (const char* saver : {"Image2", "Label10", "cmdSave"}) {
        OpenEditor editor(path);
        editor.Show();
        editor.Box("txtSong")->setText("Yesterday");
        editor.Box("txtArtist")->setText("The Beatles");
        editor.Box("txtAlbum")->setText(QString::fromUtf8("Hëlp \u263A"));
        editor.Box("txtYear")->setText("1965");
        editor.Box("txtComments")->setText("");
        editor.Click(saver);
        EXPECT_EQ(editor.frm.result(), QDialog::Accepted) << saver;
        EXPECT_FALSE(editor.frm.isVisible()) << saver;

        ByteVector after = ReadFile(path);
        ASSERT_EQ(after.size(), before.size()) << saver;
        EXPECT_TRUE(std::equal(before.begin(), before.end() - 128, after.begin())) << saver;
        EXPECT_EQ(LastBlock(after),
                  "TAG" + TagBody("Yesterday", "The Beatles", "H\xEBlp ?", "1965", "", ' ', 79))
            << saver;
    }
}

TEST_F(TagEditor, ANulPaddedFieldLeavesItsBoxFreeToTypeAndSavesWithSpaces) {
    std::string path = dir.File("song.mp3");
    // As most taggers write it: each text ends in NULs; one has spaces
    // before its NULs and something stale after them.
    std::string album = std::string("Disc  ") + '\0' + "stale";
    WriteFile(path, WithTag(Song(), TagBody("Hello", "Band", album, "2001", "Note", '\0', 12)));
    OpenEditor editor(path);
    editor.Show();
    EXPECT_EQ(editor.Box("txtSong")->text(), "Hello");
    EXPECT_EQ(editor.Box("txtArtist")->text(), "Band");
    EXPECT_EQ(editor.Box("txtAlbum")->text(), "Disc");
    EXPECT_EQ(editor.Box("txtYear")->text(), "2001");
    EXPECT_EQ(editor.Box("txtComments")->text(), "Note");

    QLineEdit* title = editor.Box("txtSong");
    title->setFocus();
    title->end(false);
    QTest::keyClicks(title, "World");
    EXPECT_EQ(title->text(), "HelloWorld");
    editor.Click("cmdSave");

    const std::string block = LastBlock(ReadFile(path));
    EXPECT_EQ(block, "TAG" + TagBody("HelloWorld", "Band", "Disc", "2001", "Note", ' ', 12));
    EXPECT_EQ(block.find('\0'), std::string::npos);
}

TEST_F(TagEditor, SaveOnAnUntaggedFileAppendsATagWithoutGenre) {
    std::string path = dir.File("Beatles - 05 - Yesterday.mp3");
    ByteVector before = Song();
    WriteFile(path, before);
    OpenEditor editor(path);
    editor.Show();
    ASSERT_EQ(editor.Box("txtSong")->text(), "Yesterday");
    ASSERT_EQ(editor.Box("txtGenre")->text(), "");
    editor.Click("cmdSave");

    ByteVector after = ReadFile(path);
    ASSERT_EQ(after.size(), before.size() + 128);
    EXPECT_EQ(LastBlock(after), "TAG" + TagBody("Yesterday", "Beatles", "", "", "", ' ',
                                                static_cast<std::uint8_t>(255)));
}

TEST_F(TagEditor, CancelLeavesTheFileAsItWas) {
    std::string path = dir.File("song.mp3");
    ByteVector before = WithTag(Song(), TagBody("Yesterday", "Beatles", "", "", "", ' ', 3));
    WriteFile(path, before);
    for (const char* canceller : {"Image1", "Label9", "cmdCancel"}) {
        OpenEditor editor(path);
        editor.Show();
        editor.Box("txtSong")->setText("Changed");
        editor.Click(canceller);
        EXPECT_EQ(editor.frm.result(), QDialog::Rejected) << canceller;
        EXPECT_FALSE(editor.frm.isVisible()) << canceller;
        EXPECT_EQ(ReadFile(path), before) << canceller;
    }
}

TEST_F(TagEditor, APlayingFileOffersOnlyCancelWithTheNotice) {
    std::string path = dir.File("song.mp3");
    ByteVector before = WithTag(Song(), TagBody("Yesterday", "Beatles", "", "", "", ' ', 3));
    WriteFile(path, before);
    OpenEditor editor(path);
    editor.frm.ShowPlayingNotice();
    editor.Show();
    for (const char* hidden : {"cmdSave", "Image2", "Label10"})
        EXPECT_FALSE(editor.Get<QWidget>(hidden)->isVisible()) << hidden;
    for (const char* shown : {"Label11", "cmdCancel", "Image1", "Label9"})
        EXPECT_TRUE(editor.Get<QWidget>(shown)->isVisible()) << shown;
    EXPECT_EQ(editor.Box("txtSong")->text(), "Yesterday");
    editor.Click("Image2"); // hidden: a click there saves nothing
    editor.Click("Label9");
    EXPECT_EQ(editor.frm.result(), QDialog::Rejected);
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(TagEditor, AFailedSaveSaysWhyAndKeepsTheEdits) {
    std::string path = dir.File("song.mp3");
    WriteFile(path, WithTag(Song(), TagBody("Yesterday", "Beatles", "", "", "", ' ', 3)));
    OpenEditor editor(path);
    editor.Show();
    editor.Box("txtSong")->setText("Edited");
    std::filesystem::remove(path);

    QString message;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->close();
        }
    });
    editor.Click("cmdSave");

    EXPECT_TRUE(message.contains(QString::fromStdString(path))) << message.toStdString();
    EXPECT_TRUE(message.contains("No such file or directory")) << message.toStdString();
    EXPECT_TRUE(editor.frm.isVisible());
    EXPECT_EQ(editor.Box("txtSong")->text(), "Edited");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TagEditor, DraggingTheSurfaceMovesTheWindowOnEveryFifthMove) {
    OpenEditor editor(dir.File("none.mp3"));
    editor.Show();
    QWidget* form = editor.frm.findChild<QWidget*>("FrmID3Form");
    ASSERT_NE(form, nullptr);
    editor.frm.move(100, 100);
    QApplication::processEvents();
    const QPoint start = editor.frm.pos();

    // The border left of the panel is the window's own surface.
    const QPoint grab(4, 120);
    ASSERT_EQ(form->childAt(grab), nullptr);
    SendMouse(form, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    for (int move = 1; move <= 4; ++move) {
        SendMouse(form, QEvent::MouseMove, grab + QPoint(5, 2), Qt::LeftButton);
        EXPECT_EQ(editor.frm.pos(), start) << "move " << move;
    }
    SendMouse(form, QEvent::MouseMove, grab + QPoint(5, 2), Qt::LeftButton);
    EXPECT_EQ(editor.frm.pos(), start + QPoint(5, 2));
    SendMouse(form, QEvent::MouseButtonRelease, grab + QPoint(5, 2), Qt::NoButton);

    // After the button is up, moves do nothing; a press on a control starts
    // no drag.
    const QPoint moved = editor.frm.pos();
    for (int move = 0; move < 10; ++move)
        SendMouse(form, QEvent::MouseMove, grab + QPoint(40, 40), Qt::NoButton);
    QWidget* label = editor.Get<QWidget>("Label1");
    SendMouse(form, QEvent::MouseButtonPress, label->geometry().center(), Qt::LeftButton);
    for (int move = 0; move < 10; ++move)
        SendMouse(form, QEvent::MouseMove, label->geometry().center() + QPoint(9, 9),
                  Qt::LeftButton);
    EXPECT_EQ(editor.frm.pos(), moved);
}
