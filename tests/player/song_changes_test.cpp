// A list plays song after song on one open device, and the window follows
// the song being heard: its list mark, title and the song the desktop's
// media controls are told about.

#include "PlayerTestSupport.h"

#include "MpegDecoder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>

#include <filesystem>

namespace playertest {
namespace {

constexpr int kFastSpeed = 20;
constexpr int kSongs = 10;

// When the null device had played each byte count: it appends what it has
// played to its record file, which the test's waits look at.
class HeardClock {
public:
    HeardClock(const QElapsedTimer& clock, std::string record)
        : clock_(clock), record_(std::move(record)) {}

    void Look() {
        std::error_code ignored;
        const auto size = std::filesystem::file_size(record_, ignored);
        if (size != static_cast<std::uintmax_t>(-1) &&
            (marks_.empty() || size > marks_.back().bytes))
            marks_.push_back({std::uint64_t(size), clock_.elapsed()});
    }
    std::uint64_t Played() const { return marks_.empty() ? 0 : marks_.back().bytes; }
    // When byte `bytes` was heard, from the first look that found it
    // played, less the time the bytes after it took at `bytes_per_ms`;
    // -1 when it has not been played yet.
    qint64 TimeOf(std::uint64_t bytes, double bytes_per_ms) const {
        for (const Mark& mark : marks_)
            if (mark.bytes >= bytes)
                return mark.ms - qint64(double(mark.bytes - bytes) / bytes_per_ms);
        return -1;
    }

private:
    struct Mark {
        std::uint64_t bytes;
        qint64 ms;
    };
    const QElapsedTimer& clock_;
    std::string record_;
    std::vector<Mark> marks_;
};

class SongChangesTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp(); // the application sets its own speed when it starts
        qputenv("AUDIOCORE_NULL_SPEED", QByteArray::number(kFastSpeed));
        qputenv("AUDIOCORE_NULL_RECORD", QByteArray::fromStdString(record));
        clock.start();
        // Ten songs of the same 24 s, each under a name of its own.
        for (int i = 1; i <= kSongs; ++i) {
            const QString path =
                QString::fromStdString(dir.File("song" + std::to_string(i) + ".mp3"));
            QFile::copy(Song("a_one.mp3"), path);
            songs.append(path);
        }
    }
    void TearDown() override {
        PlayerTest::TearDown();
        qunsetenv("AUDIOCORE_NULL_RECORD");
        qputenv("AUDIOCORE_NULL_SPEED", QByteArray::number(kNullSpeed));
    }

    // Plays the list from song 1 until `changes` songs have followed it,
    // noting each song change as the window shows it.
    struct Change {
        int song;
        qint64 shown_ms;
        QString title;
        QString loaded;
    };
    std::vector<Change> PlayChanges(int changes) {
        std::vector<Change> seen;
        LoadSongs(songs);
        window->PlaySong(1);
        EXPECT_TRUE(Playing());
        // The window follows the control's notice first; the spy after it.
        QSignalSpy started(Control("Audiocore1"), SIGNAL(NextSourceStarted()));
        WaitFor(
            [&] {
                heard.Look();
                if (started.count() > int(seen.size()))
                    seen.push_back({window->iCurrentSong, clock.elapsed(), window->Text4,
                                    window->LoadedPath()});
                return int(seen.size()) >= changes;
            },
            60000);
        return seen;
    }

    testsupport::TempDir dir;
    std::string record = dir.File("heard.raw");
    QStringList songs;
    QElapsedTimer clock;
    HeardClock heard{clock, record};
};

// What one song plays on the device: its trimmed samples, 16-bit stereo.
std::uint64_t OneSongBytes(const QString& path) {
    audiocore::MpegDecoder decoder;
    if (decoder.Open(QFile::encodeName(path).toStdString()) != audiocore::OpenResult::Opened)
        return 0;
    return std::uint64_t(decoder.SongSamples()) * 2 * 2;
}

TEST_F(SongChangesTest, EverySongFollowsTheOneBeforeAndTheWindowShowsItAtOnce) {
    struct Case {
        Form1::PlayMode mode;
        const char* name;
    };
    const Case cases[] = {{Form1::PlayMode::Standard, "Standard"},
                          {Form1::PlayMode::Repeat, "Repeat"},
                          {Form1::PlayMode::Shuffle, "Shuffle"}};
    const std::uint64_t one = OneSongBytes(songs.first());
    ASSERT_GT(one, 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->ChooseMode(c.mode);
        const std::uint64_t played_before = heard.Played();
        const int changes = c.mode == Form1::PlayMode::Standard ? kSongs - 1 : kSongs + 1;
        const std::vector<Change> seen = PlayChanges(changes);
        ASSERT_EQ(int(seen.size()), changes);
        // The device's record grows a buffer at a time, after it has played:
        // wait until it holds the last change too.
        ASSERT_TRUE(WaitFor([&] {
            heard.Look();
            return heard.Played() >= played_before + std::uint64_t(changes) * one;
        }));
        int previous = 1;
        for (std::size_t k = 0; k < seen.size(); ++k) {
            const Change& change = seen[k];
            SCOPED_TRACE(k);
            // Shuffle draws any song, the one that played included.
            if (c.mode != Form1::PlayMode::Shuffle)
                EXPECT_EQ(change.song, previous % kSongs + 1) << "in order, none skipped";
            previous = change.song;
            EXPECT_EQ(change.loaded, songs.at(change.song - 1)) << "what the media controls read";
            EXPECT_EQ(change.title, "Now:" + Form1::TitleOf(songs.at(change.song - 1)));
            // Heard when the device had played k + 1 whole songs of this run.
            constexpr double kBytesPerMs = 44100.0 * 4 * kFastSpeed / 1000;
            const qint64 heard_ms = heard.TimeOf(played_before + (k + 1) * one, kBytesPerMs);
            ASSERT_GE(heard_ms, 0);
            EXPECT_LE(change.shown_ms - heard_ms, 250 * SONGWELL_TIME_SCALE)
                << "shown within a quarter second";
            EXPECT_GE(change.shown_ms - heard_ms, -100 * SONGWELL_TIME_SCALE)
                << "not before it is heard";
        }
        // Nothing replayed or skipped: the device played exactly the songs
        // changed to, one after another, up to the one playing now.
        EXPECT_GE(heard.Played() - played_before, std::uint64_t(changes) * one);
        EXPECT_LT(heard.Played() - played_before, std::uint64_t(changes + 1) * one);
        Click("Image6"); // stop
        ASSERT_TRUE(WaitFor([&] { return !Playing(); }));
        heard.Look();
        window->ClearList();
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

TEST_F(SongChangesTest, TheLastSongOfAStandardListEndsThePlaying) {
    songs = songs.mid(0, 2);
    const std::vector<Change> seen = PlayChanges(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].song, 2);
    ASSERT_TRUE(WaitFor([&] { return !Playing(); }, 20000));
    window->StatusTick();
    EXPECT_FALSE(Playing());
    EXPECT_EQ(window->iCurrentSong, 1) << "song 1 is selected, not played";
    EXPECT_TRUE(window->bUserStopped);
}

} // namespace
} // namespace playertest
