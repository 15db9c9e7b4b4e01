// The player evens songs out by ReplayGain for the session: automatically
// with the album gain while the list plays in order and the track gain in
// Shuffle, or as the context menu sets it.

#include "GainTagWriter.h"
#include "PlayerTestSupport.h"
#include "RunProgram.h"

#include <QAction>
#include <QFile>
#include <QMenu>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace playertest {
namespace {

constexpr int kFastSpeed = 20;

std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& raw) {
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

class ReplayGainTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        qputenv("AUDIOCORE_NULL_SPEED", QByteArray::number(kFastSpeed));
        qputenv("AUDIOCORE_NULL_RECORD", QByteArray::fromStdString(record));
        // The short song, with a track gain of -6.02 dB and an album gain
        // of -12.04 dB.
        QFile::copy(Song("short.mp3"), QString::fromStdString(song));
        const std::string wav = dir.File("song.wav");
        testsupport::ProgramResult r =
            testsupport::RunProgram(testsupport::BinPath("audiocore"), {"convert", song, wav});
        ASSERT_EQ(r.exit_code, 0) << r.err;
        std::vector<std::uint8_t> bytes = testsupport::ReadFile(wav);
        bytes.erase(bytes.begin(), bytes.begin() + 46);
        converted = Samples16(bytes);
        testsupport::WriteGainTags(song, testsupport::GainTagKind::UserText, {"-6.02", ""},
                                   {"-12.04", ""});
    }
    void TearDown() override {
        PlayerTest::TearDown();
        qunsetenv("AUDIOCORE_NULL_RECORD");
        qputenv("AUDIOCORE_NULL_SPEED", QByteArray::number(kNullSpeed));
    }

    int ControlMode() const { return Control("Audiocore1")->property("ReplayGain").toInt(); }

    // Plays the song from the start until the device has played all of it
    // (in Shuffle the list goes on with it again), and answers the factor
    // it was heard at, beyond the volume.
    double HeardFactor() {
        std::filesystem::remove(record);
        window->PlaySong(1);
        const std::uintmax_t whole = converted.size() * 2;
        EXPECT_TRUE(WaitFor(
            [&] {
                std::error_code ignored;
                const auto size = std::filesystem::file_size(record, ignored);
                return size != std::uintmax_t(-1) && size >= whole;
            },
            30000));
        window->StopSong();
        const std::vector<std::int16_t> heard = Samples16(testsupport::ReadFile(record));
        const double volume = Control("Audiocore1")->property("Volume").toInt() / 65535.0;
        // The factor that best explains the song's loudest samples.
        double sum_heard = 0, sum_source = 0;
        for (std::size_t i = 0; i < converted.size() && i < heard.size(); ++i) {
            sum_heard += std::abs(heard[i]);
            sum_source += std::abs(converted[i]) * volume;
        }
        return sum_source > 0 ? sum_heard / sum_source : 0;
    }

    testsupport::TempDir dir;
    std::string record = dir.File("heard.raw");
    std::string song = dir.File("tagged.mp3");
    std::vector<std::int16_t> converted;
};

TEST_F(ReplayGainTest, AutomaticTakesTheAlbumGainInOrderAndTheTrackGainInShuffle) {
    LoadSongs({QString::fromStdString(song)});
    ASSERT_EQ(window->ReplayGainSetting(), Form1::ReplayGain::Automatic) << "the default";
    struct Case {
        Form1::PlayMode play_mode;
        Form1::ReplayGain setting;
        int control_mode;
        double factor;
    } cases[] = {
        {Form1::PlayMode::Standard, Form1::ReplayGain::Automatic, 2, 0.25},
        {Form1::PlayMode::Shuffle, Form1::ReplayGain::Automatic, 1, 0.5},
        {Form1::PlayMode::Repeat, Form1::ReplayGain::Automatic, 2, 0.25},
        {Form1::PlayMode::Shuffle, Form1::ReplayGain::Album, 2, 0.25},
        {Form1::PlayMode::Standard, Form1::ReplayGain::Track, 1, 0.5},
        {Form1::PlayMode::Standard, Form1::ReplayGain::Off, 0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.play_mode) * 10 + int(c.setting));
        window->SetReplayGain(c.setting);
        window->ChooseMode(c.play_mode);
        EXPECT_EQ(ControlMode(), c.control_mode);
        EXPECT_NEAR(HeardFactor(), c.factor, 0.01);
    }
}

TEST_F(ReplayGainTest, TheContextMenuChangesTheSettingForTheSession) {
    window->ChooseMode(Form1::PlayMode::Shuffle);
    std::unique_ptr<QMenu> menu = window->ContextMenu();
    QMenu* gains = nullptr;
    for (QAction* action : menu->actions())
        if (action->text() == QStringLiteral("ReplayGain"))
            gains = action->menu();
    ASSERT_NE(gains, nullptr);
    QStringList captions;
    QAction* checked = nullptr;
    QAction* album = nullptr;
    for (QAction* action : gains->actions()) {
        captions << action->text();
        if (action->isChecked())
            checked = action;
        if (action->text() == QStringLiteral("Album gain"))
            album = action;
    }
    EXPECT_EQ(captions, (QStringList{"Off", "Track gain", "Album gain", "Automatic"}));
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(checked->text(), QStringLiteral("Automatic"));
    ASSERT_NE(album, nullptr);
    album->trigger();
    EXPECT_EQ(window->ReplayGainSetting(), Form1::ReplayGain::Album);
    EXPECT_EQ(ControlMode(), 2) << "album gain even in Shuffle";
}

} // namespace
} // namespace playertest
