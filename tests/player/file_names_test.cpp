// Songs whose names are no UTF-8, or hold control characters: they join the
// list from a folder, the command line and a drop, play, and show readable
// titles on one line.

#include "LocalFiles.h"
#include "PlayerTestSupport.h"

#include <QMimeData>

#include <filesystem>

namespace playertest {
namespace {

class FileNamesTest : public PlayerTest {
protected:
    // A copy of a demo song under `name` (bytes) in `folder` (bytes).
    static void CopySong(const std::string& folder, const std::string& name) {
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(std::filesystem::path(SONGWELL_TEST_SONGS) / "a_one.mp3",
                                   folder + "/" + name,
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // What the window keeps for a path of these bytes: every byte kept.
    static QString Kept(const std::string& bytes) {
        QString path;
        for (unsigned char c : bytes)
            path += c < 0x80 ? QChar(c) : QChar(char16_t(0xDC00 + c));
        return path;
    }

    void ExpectPlays(const QString& path) {
        window->StatusTick(); // the first tick of a fresh player starts song 1
        ASSERT_TRUE(Playing());
        EXPECT_EQ(Loaded(), path);
        EXPECT_GT(FrameCount(), 0);
        EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
        window->StatusTick(); // shows the "Now:" line
    }

    testsupport::TempDir dir;
};

TEST_F(FileNamesTest, ASongNamedInBytesThatAreNoUtf8JoinsFromAFolderAndPlays) {
    // The folder's name is no UTF-8 either.
    const std::string folder = dir.File("d\xe9j\xe0");
    CopySong(folder, "\xff\xfe.mp3");
    window->AppendPaths({Kept(folder)});
    ASSERT_EQ(window->lstFilenames, QStringList{Kept(folder + "/\xff\xfe.mp3")});
    EXPECT_EQ(Entry(0), " \\xFF\\xFE");
    ExpectPlays(Kept(folder + "/\xff\xfe.mp3"));
    EXPECT_TRUE(window->Text4.endsWith("\\xFF\\xFE")) << window->Text4.toStdString();
}

TEST_F(FileNamesTest, ASongNamedInBytesThatAreNoUtf8JoinsFromTheCommandLineAndFromADrop) {
    const std::string path = dir.File("caf\xe9.mp3");
    CopySong(dir.path().string(), "caf\xe9.mp3");
    // The command line, as the program hands its arguments over.
    std::string argument = path;
    char* argv[] = {argument.data(), argument.data()};
    window->AppendPaths(PathArguments(2, argv, 1));
    // A drop names the file in an URL whose path carries the bytes as %XX.
    QMimeData data;
    data.setUrls({QUrl(QString("file://") +
                       QString::fromLatin1(QByteArray(path.c_str()).toPercentEncoding("/")))});
    QDragEnterEvent enter(QPoint(200, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(200, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);

    ASSERT_EQ(window->lstFilenames, QStringList({Kept(path), Kept(path)}));
    EXPECT_EQ(Entry(0), " caf\\xE9");
    EXPECT_EQ(Entry(1), " caf\\xE9");
    ExpectPlays(Kept(path));
}

TEST_F(FileNamesTest, ControlCharactersOfANameShowAsMarksOnOneLine) {
    struct Case {
        std::string name;
        QString entry;
    };
    const Case cases[] = {
        {"two\nlines.mp3", " two\\x0Alines"},
        {"\x1b[2Jclear.mp3", " \\x1B[2Jclear"},
        {"tab\there.mp3", " tab\\x09here"},
    };
    for (const Case& c : cases)
        CopySong(dir.path().string(), c.name);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        window->AppendPaths({Kept(dir.File(cases[i].name))});
        EXPECT_EQ(Entry(int(i)), cases[i].entry);
    }
    ExpectPlays(Kept(dir.File(cases[0].name)));
    EXPECT_FALSE(window->Text4.contains('\n'));
    EXPECT_TRUE(window->Text4.endsWith("two\\x0Alines"));
}

} // namespace
} // namespace playertest
