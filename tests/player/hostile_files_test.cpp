// Thirty hostile files in the play list, played through in every mode: the
// window survives, and every file that cannot be opened is named in a
// message.

#include "PlayerTestSupport.h"

#include <QDir>
#include <QFile>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace playertest {
namespace {

class HostileFilesTest : public PlayerTest {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QFile::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray Vector(const char* name) {
        QFile file(QString::fromStdString(testsupport::SharedPath(std::string("vectors/") + name)));
        EXPECT_TRUE(file.open(QFile::ReadOnly));
        return file.readAll();
    }

    static QByteArray Random(unsigned seed, int size) {
        std::mt19937 random(seed);
        QByteArray bytes(size, 0);
        for (char& b : bytes)
            b = static_cast<char>(random() & 0xFF);
        return bytes;
    }

    // Damaged streams that still open: cut, bit-flipped or spliced.
    void AddPlayable(QStringList& files) {
        const QByteArray si = Vector("l3-si.bit").left(20000);
        const QByteArray fl = Vector("l2-fl11.bit").left(20000);
        files << Write("cut-l3.mp3", si.left(3001)) << Write("cut-l2.mp3", fl.left(2999));
        for (unsigned seed = 1; seed <= 6; ++seed) {
            QByteArray flipped = seed % 2 ? si : fl;
            std::mt19937 random(seed);
            for (int i = 0; i < 300; ++i)
                flipped[static_cast<int>(random() % flipped.size())] ^= char(1 << (random() % 8));
            files << Write(QString("flipped-%1.mp3").arg(seed), flipped);
        }
        files << Write("spliced.mp3", si.left(5000) + Random(9, 3000) + fl.mid(4000, 6000));
        // Frames claiming a 3 GiB song of 8 kHz frames, and then a hole.
        QByteArray claim;
        for (int f = 0; f < 12; ++f)
            claim += QByteArray("\xFF\xE3\x18\xC0", 4) + QByteArray(68, 0);
        claim.replace(13, 12, QByteArray("Xing\0\0\0\1\x02\x62\x5A\x00", 12));
        const QString huge = Write("huge.mp3", claim);
        EXPECT_EQ(truncate(QFile::encodeName(huge).constData(), off_t(3) << 30), 0);
        files << huge;
    }

    // Files that are no stream at all, or no file.
    void AddUnopenable(QStringList& files) {
        for (unsigned seed = 1; seed <= 6; ++seed)
            files << Write(QString("random-%1.mp3").arg(seed), Random(seed, 16384));
        for (int i = 0; i < 3; ++i)
            files << Write(QString("text-%1.mp3").arg(i),
                           QByteArray("Not a song, only a few words.\n").repeated(40 * (i + 1)));
        files << Write("picture.mp3", QByteArray("\x89PNG\r\n\x1A\n", 8) + Random(20, 5000));
        files << Write("empty.mp3", {}) << Write("one-byte.mp3", "\xFF");
        files << Write("only-headers.mp3", QByteArray("\xFF\xFB\x90\x00", 4).repeated(500));
        files << Write("all-sync.mp3", QByteArray(8000, '\xFF'));
        files << Write("tag-only.mp3", "TAG" + QByteArray(125, 'x'));
        // An ID3v2 header whose size reaches far past the end of the file.
        files << Write("id3-past-end.mp3", QByteArray("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10) +
                                               Vector("l3-si.bit").left(3000));
        const QString dangling = folder.filePath("dangling.mp3");
        EXPECT_TRUE(QFile::link(folder.filePath("nowhere"), dangling));
        files << dangling;
        const QString pipe = folder.filePath("pipe.mp3");
        EXPECT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        files << pipe;
        files << Write("vanished.mp3", Vector("l3-si.bit").left(4000));
        files << folder.filePath("never-there.mp3");
    }

    // Ticks the clock as the timer would, giving playing songs time to end.
    void Run(int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            window->StatusTick();
            if (Playing())
                QTest::qWait(25);
        }
    }

    QTemporaryDir folder;
};

TEST_F(HostileFilesTest, TheWindowPlaysThroughThemInEveryModeAndNamesEachBrokenOne) {
    QStringList playable, unopenable;
    AddPlayable(playable);
    AddUnopenable(unopenable);
    QStringList all = playable + unopenable;
    ASSERT_EQ(all.size(), 30);
    std::shuffle(all.begin(), all.end(), std::mt19937(5));
    all.prepend(Song("short.mp3"));
    // A folder named like a song adds the songs inside it: none.
    QDir(folder.path()).mkdir("folder.mp3");
    window->AppendPaths(QStringList(all) << folder.filePath("folder.mp3"));
    QFile::remove(folder.filePath("vanished.mp3")); // gone after it was added
    ASSERT_EQ(ListCount(), 31);

    // Standard: once through the list, every broken file reported once.
    Click("Image26");
    window->StatusTick();
    Run(400);
    for (const QString& path : unopenable)
        EXPECT_EQ(messages.filter(path).size(), 1) << path.toStdString();
    for (const QString& path : playable)
        EXPECT_TRUE(messages.filter(path).isEmpty()) << path.toStdString();

    // Shuffle and Repeat go on as long as there is something to play.
    for (const char* mode : {"Image27", "Image28"}) {
        SCOPED_TRACE(mode);
        Click(mode);
        DoubleClickRow(0);
        Run(150);
        EXPECT_EQ(ListCount(), 31);
    }
    for (const QString& message : messages)
        EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](const QString& path) {
            return message.contains(path);
        })) << message.toStdString();

    // And the window still plays a good song at once.
    Click("Image26");
    DoubleClickRow(0);
    EXPECT_TRUE(Playing());
    EXPECT_EQ(Loaded(), Song("short.mp3"));
}

} // namespace
} // namespace playertest
