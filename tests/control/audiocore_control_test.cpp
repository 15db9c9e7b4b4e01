// The Audiocore control as a host meets it: loaded from its plugin by class
// name with QUiLoader and driven only through member names. Audio goes to the
// null device, which appends what it played to a file the test reads.

#include "AudiocoreErrors.h"
#include "TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMetaClassInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUiLoader>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

using testsupport::ReadFile;
using testsupport::SharedPath;
using testsupport::TempDir;

// Notes the thread each Finished is raised on.
class FinishedProbe : public QObject {
    Q_OBJECT
public slots:
    void onFinished(int) { threads.push_back(QThread::currentThread()); }

public:
    std::vector<QThread*> threads;
};

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "audiocore_control_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

int CallInt(QObject* control, const char* member) {
    int result = -99;
    EXPECT_TRUE(
        QMetaObject::invokeMethod(control, member, Qt::DirectConnection, Q_RETURN_ARG(int, result)))
        << member;
    return result;
}

int CallInt(QObject* control, const char* member, int argument) {
    int result = -99;
    EXPECT_TRUE(QMetaObject::invokeMethod(control, member, Qt::DirectConnection,
                                          Q_RETURN_ARG(int, result), Q_ARG(int, argument)))
        << member;
    return result;
}

int CallInt(QObject* control, const char* member, const QString& argument) {
    int result = -99;
    EXPECT_TRUE(QMetaObject::invokeMethod(control, member, Qt::DirectConnection,
                                          Q_RETURN_ARG(int, result), Q_ARG(QString, argument)))
        << member;
    return result;
}

bool CallBool(QObject* control, const char* member) {
    bool result = false;
    EXPECT_TRUE(QMetaObject::invokeMethod(control, member, Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, result)))
        << member;
    return result;
}

QString CallString(QObject* control, const char* member) {
    QString result = QStringLiteral("unset");
    EXPECT_TRUE(QMetaObject::invokeMethod(control, member, Qt::DirectConnection,
                                          Q_RETURN_ARG(QString, result)))
        << member;
    return result;
}

// The PCM of a WAV file written by the control: what follows the data chunk's
// header.
std::vector<std::uint8_t> WavPcm(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadFile(path);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (std::memcmp(bytes.data() + at, "data", 4) == 0)
            return std::vector<std::uint8_t>(bytes.begin() + static_cast<long>(at) + 8,
                                             bytes.begin() + static_cast<long>(at + 8 + size));
        at += 8 + size + (size & 1);
    }
    return {};
}

std::size_t FileSize(const std::string& path) {
    return ReadFile(path).size();
}

// A Layer II stream of 49 * copies frames at 32 kHz stereo, 36 ms a frame.
std::string LongLayerTwoFile(const TempDir& dir, int copies) {
    std::vector<std::uint8_t> one = ReadFile(SharedPath("vectors/l2-fl10.bit"));
    std::vector<std::uint8_t> all;
    for (int i = 0; i < copies; ++i)
        all.insert(all.end(), one.begin(), one.end());
    std::string path = dir.File("long.mp2");
    testsupport::WriteFile(path, all);
    return path;
}

constexpr int kLayerTwoFrameBytes = 1152 * 4;
constexpr std::size_t kLayerTwoBufferBytes = 32 * kLayerTwoFrameBytes;
// 10 ms of 48 kHz stereo: more than a fade lasts at any rate.
constexpr std::size_t kFadeWindowBytes = 480 * 4;

// Whether every 16-bit sample of `heard` in [from, to) is at most as loud as
// the same sample of `reference`, with its sign: a fade, not other sound.
bool NoLouderThan(const std::vector<std::uint8_t>& heard,
                  const std::vector<std::uint8_t>& reference, std::size_t from, std::size_t to) {
    for (std::size_t at = from; at + 2 <= to; at += 2) {
        std::int16_t h;
        std::int16_t r;
        std::memcpy(&h, heard.data() + at, 2);
        std::memcpy(&r, reference.data() + at, 2);
        if (std::abs(h) > std::abs(r) || (h != 0 && (h < 0) != (r < 0)))
            return false;
    }
    return true;
}

class AudiocoreHost : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("AUDIOCORE_OUTPUT", "null", 1);
        setenv("AUDIOCORE_NULL_SPEED", "8", 1);
        setenv("AUDIOCORE_NULL_RECORD", record.c_str(), 1);
        loader.addPluginPath(QStringLiteral(SONGWELL_PLUGIN_DIR));
        control.reset(loader.createWidget(QStringLiteral("Audiocore"), &window));
        ASSERT_NE(control, nullptr) << "plugin not found in " << SONGWELL_PLUGIN_DIR;
    }
    void TearDown() override { control.reset(); }

    void SetSource(const std::string& path) {
        control->setProperty("SourceFile", QString::fromStdString(path));
    }
    // Processes events until the position reaches `frame` or the run ends.
    void PlayUntilFrame(int frame) {
        QElapsedTimer clock;
        clock.start();
        while (CallInt(control.get(), "GetPosition") < frame && clock.elapsed() < 20000 &&
               CallBool(control.get(), "IsPlaying"))
            QTest::qWait(5);
    }

    QApplication& app = App();
    TempDir dir;
    std::string record = dir.File("heard.raw");
    QUiLoader loader;
    QWidget window;
    std::unique_ptr<QWidget> control;
};

TEST_F(AudiocoreHost, AnswersNeutrallyWithoutASourceFile) {
    QObject* c = control.get();
    EXPECT_EQ(c->property("OutputDevID").toInt(), 0);
    EXPECT_EQ(c->property("Volume").toInt(), 65535);
    EXPECT_EQ(c->property("SourceFile").toString(), QString());
    EXPECT_EQ(CallString(c, "GetInfo"), QString());
    EXPECT_EQ(CallInt(c, "GetPosition"), 0);
    EXPECT_EQ(CallInt(c, "GetLength"), 0);
    EXPECT_EQ(CallInt(c, "GetFrameCount"), 0);
    EXPECT_FALSE(CallBool(c, "Copyright"));
    EXPECT_FALSE(CallBool(c, "IsPlaying"));
    EXPECT_EQ(CallInt(c, "SetPosition", 5), 0);
    EXPECT_EQ(CallInt(c, "Play"), -1);
    EXPECT_EQ(CallInt(c, "Stop"), 0);
    EXPECT_EQ(CallInt(c, "WriteWAV", QString::fromStdString(dir.File("x.wav"))), -1);
    // Invisible in a running host, at its fixed size.
    window.show();
    EXPECT_FALSE(control->isVisible());
    EXPECT_EQ(control->size(), QSize(32, 32));
}

TEST_F(AudiocoreHost, PublishesItsDispatchIdsAndEventSignature) {
    const QMetaObject* meta = control->metaObject();
    const std::pair<const char*, const char*> ids[] = {
        {"DispId.OutputDevID", "1"},   {"DispId.Volume", "2"},
        {"DispId.SourceFile", "3"},    {"DispId.IsPlaying", "4"},
        {"DispId.GetPosition", "5"},   {"DispId.SetPosition", "6"},
        {"DispId.GetFrameCount", "7"}, {"DispId.Play", "8"},
        {"DispId.Stop", "9"},          {"DispId.GetLength", "10"},
        {"DispId.Copyright", "11"},    {"DispId.GetInfo", "12"},
        {"DispId.WriteWAV", "13"},     {"DispId.AboutBox", "-552"},
        {"EventDispId.Finished", "1"}, {"ProgID", "AUDIOCORE.AudiocoreCtrl.1"}};
    for (const auto& [name, value] : ids) {
        int index = meta->indexOfClassInfo(name);
        ASSERT_GE(index, 0) << name;
        EXPECT_STREQ(meta->classInfo(index).value(), value) << name;
    }
    EXPECT_GE(meta->indexOfSignal("Finished(int)"), 0);
}

TEST_F(AudiocoreHost, ReadsTheStreamFactsOfTheSourceFile) {
    struct Case {
        const char* file;
        const char* info;
        int frames;
        int length_ms;
    };
    const Case cases[] = {
        {"vectors/l3-si.bit", "MPEG-1 layer III, Single channel, 44.1 kHz", 118, 3082},
        {"vectors/l2-fl10.bit", "MPEG-1 layer II, Stereo, 32 kHz", 49, 1764},
        {"vectors/l3-sin1k0db.bit", "MPEG-1 layer III, Joint stereo, 44.1 kHz", 317, 8280},
    };
    for (const Case& c : cases) {
        SetSource(SharedPath(c.file));
        EXPECT_EQ(control->property("SourceFile").toString().toStdString(), SharedPath(c.file));
        EXPECT_EQ(CallString(control.get(), "GetInfo"), QString(c.info));
        EXPECT_EQ(CallInt(control.get(), "GetFrameCount"), c.frames);
        EXPECT_EQ(CallInt(control.get(), "GetLength"), c.length_ms);
        EXPECT_EQ(CallInt(control.get(), "GetPosition"), 0);
        EXPECT_FALSE(CallBool(control.get(), "Copyright"));
    }
}

TEST_F(AudiocoreHost, AFileThatDoesNotOpenRaisesTheControlErrorAndCannotPlay) {
    testsupport::WriteFile(dir.File("noise.mp3"), std::vector<std::uint8_t>(3000, 0x00));
    for (const std::string& path : {dir.File("missing.mp3"), dir.File("noise.mp3")}) {
        SCOPED_TRACE(path);
        // Kept for the host to take after the call, never thrown through
        // Qt's property call.
        SetSource(path);
        uint code = 0;
        QString text;
        QMetaObject::invokeMethod(control.get(), "ErrorCode", Q_RETURN_ARG(uint, code));
        QMetaObject::invokeMethod(control.get(), "TakeError", Q_RETURN_ARG(QString, text));
        EXPECT_EQ(code, 0x800A0035u);
        EXPECT_EQ(text, QStringLiteral("Open source file error!"));
        EXPECT_EQ(CallInt(control.get(), "Play"), -1);
        EXPECT_FALSE(CallBool(control.get(), "IsPlaying"));
        EXPECT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(dir.File("o.wav"))),
                  -1);
    }
}

TEST_F(AudiocoreHost, PlaysToTheEndAndReportsFinishedOnTheHostsThread) {
    const std::string wav = dir.File("reference.wav");
    SetSource(SharedPath("vectors/l3-sin1k0db.bit"));
    ASSERT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(wav)), 0);
    const std::vector<std::uint8_t> reference = WavPcm(wav);
    ASSERT_EQ(reference.size() % (1152 * 4), 0u);
    const std::size_t buffer = 32 * 1152 * 4;
    const std::size_t padded = (reference.size() + buffer - 1) / buffer * buffer;

    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    FinishedProbe probe;
    QObject::connect(control.get(), SIGNAL(Finished(int)), &probe, SLOT(onFinished(int)),
                     Qt::DirectConnection);
    EXPECT_EQ(CallInt(control.get(), "SetPosition", 0), 0);
    EXPECT_EQ(FileSize(record), 0u);
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    EXPECT_TRUE(CallBool(control.get(), "IsPlaying"));
    EXPECT_EQ(CallInt(control.get(), "Play"), -1);
    EXPECT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(wav)), -1);

    // IsPlaying stays true until the last buffer has played.
    while (CallBool(control.get(), "IsPlaying"))
        QTest::qWait(2);
    EXPECT_EQ(FileSize(record), padded);

    ASSERT_TRUE(finished.count() == 1 || finished.wait(5000));
    ASSERT_EQ(probe.threads.size(), 1u);
    EXPECT_EQ(probe.threads[0], App().thread());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);

    std::vector<std::uint8_t> heard = ReadFile(record);
    std::vector<std::uint8_t> expected = reference;
    expected.resize(padded, 0);
    EXPECT_TRUE(heard == expected) << "played audio differs from the conversion";

    // At the end of the stream a Play decodes nothing and ends at once.
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(1).at(0).toInt(), 0);
    EXPECT_EQ(FileSize(record), padded);
}

TEST_F(AudiocoreHost, StopPausesAtOnceAndPlayResumesAtTheStopFrame) {
    setenv("AUDIOCORE_NULL_SPEED", "4", 1);
    const std::string path = LongLayerTwoFile(dir, 8);
    SetSource(path);
    const int frames = CallInt(control.get(), "GetFrameCount");
    ASSERT_EQ(frames, 392);
    const std::string wav = dir.File("reference.wav");
    ASSERT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(wav)), 0);
    const std::vector<std::uint8_t> reference = WavPcm(wav);
    SetSource(path); // back to the start

    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    PlayUntilFrame(150);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(CallInt(control.get(), "Stop"), 0);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(CallBool(control.get(), "IsPlaying"));
    const std::size_t heard_at_stop = FileSize(record);
    const int stop_frame = CallInt(control.get(), "GetPosition");
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
    // Nothing more sounds after the stop, and what sounded ends with the
    // last frame before the position.
    QTest::qWait(300);
    EXPECT_EQ(FileSize(record), heard_at_stop);
    EXPECT_EQ(heard_at_stop, static_cast<std::size_t>(stop_frame) * kLayerTwoFrameBytes);

    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.at(1).at(0).toInt(), 0);
    std::vector<std::uint8_t> heard = ReadFile(record);
    // The second run plays frames stop_frame..end, padded to whole buffers.
    const std::size_t second_frames = static_cast<std::size_t>(frames - stop_frame);
    const std::size_t buffers = (second_frames + 31) / 32;
    ASSERT_EQ(heard.size() - heard_at_stop, buffers * kLayerTwoBufferBytes);
    // The pause lost nothing and repeated nothing: the two runs together
    // are the conversion, sample for sample, but for the few milliseconds
    // that fade out before the pause and in after it, which only soften.
    ASSERT_GE(heard.size(), reference.size());
    const std::size_t fade_from = heard_at_stop - kFadeWindowBytes;
    const std::size_t fade_to = heard_at_stop + kFadeWindowBytes;
    EXPECT_TRUE(std::equal(reference.begin(), reference.begin() + static_cast<long>(fade_from),
                           heard.begin()));
    EXPECT_TRUE(std::equal(reference.begin() + static_cast<long>(fade_to), reference.end(),
                           heard.begin() + static_cast<long>(fade_to)));
    EXPECT_TRUE(NoLouderThan(heard, reference, fade_from, fade_to));
}

TEST_F(AudiocoreHost, ASeekWhilePlayingIsHeardFromTheNewFrame) {
    const std::string path = LongLayerTwoFile(dir, 8);
    SetSource(path);
    const std::string wav = dir.File("reference.wav");
    ASSERT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(wav)), 0);
    const std::vector<std::uint8_t> reference = WavPcm(wav);
    SetSource(path);

    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    PlayUntilFrame(100);
    constexpr int kTarget = 300;
    // Taken before the seek: the device, which plays at eight times real
    // time, may sound the new frames before a slow test thread could
    // measure anything after it.
    const std::size_t heard_before_seek = FileSize(record);
    EXPECT_EQ(CallInt(control.get(), "SetPosition", kTarget), 0);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);

    std::vector<std::uint8_t> heard = ReadFile(record);
    // The target's second frame (the first one meets a fresh filter bank)
    // and every frame after it are heard as converted, starting soon after
    // the seek: before it the device may still sound what it had queued
    // (at most two buffers), and the target frame. The song repeats every
    // 49 frames, so the queued frames may hold the same bytes: the place is
    // the one from which the whole rest follows.
    const auto target = reference.begin() + (kTarget + 1) * kLayerTwoFrameBytes;
    const std::size_t latest =
        heard_before_seek + kLayerTwoBufferBytes * 2 + 2 * kLayerTwoFrameBytes;
    const auto rest = reference.end() - target;
    bool found = false;
    auto at = heard.begin() + static_cast<long>(std::min(heard_before_seek, heard.size()));
    while (!found) {
        at = std::search(at, heard.end(), target, target + kLayerTwoFrameBytes);
        if (at == heard.end() || static_cast<std::size_t>(at - heard.begin()) > latest)
            break;
        found = heard.end() - at >= rest && std::equal(target, reference.end(), at);
        ++at;
    }
    EXPECT_TRUE(found);
}

TEST_F(AudiocoreHost, WriteWavConvertsOnTheCallersThreadWithoutAFinished) {
    SetSource(SharedPath("vectors/l2-fl10.bit"));
    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    // A long name is used whole, never cut to another file's name.
    std::string folder = dir.path().string();
    for (int i = 0; i < 3; ++i) {
        folder += "/" + std::string(100, static_cast<char>('a' + i));
        std::filesystem::create_directory(folder);
    }
    const std::string wav = folder + "/converted.wav";
    ASSERT_GT(wav.size(), 255u);
    EXPECT_EQ(CallInt(control.get(), "WriteWAV", QString::fromStdString(wav)), 0);
    EXPECT_EQ(WavPcm(wav).size(), 49u * kLayerTwoFrameBytes);

    SetSource(SharedPath("vectors/l2-fl10.bit"));
    EXPECT_EQ(CallInt(control.get(), "WriteWAV", QStringLiteral("/nonexistent/folder/x.wav")), -1);
    QTest::qWait(50);
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(AudiocoreHost, AStaleNoticeNeitherEndsNorAnnouncesANewerRun) {
    setenv("AUDIOCORE_NULL_SPEED", "2", 1);
    SetSource(LongLayerTwoFile(dir, 8));
    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    CallInt(control.get(), "Stop");
    // The first run's notice is still queued when the second run starts.
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    QTest::qWait(200);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(CallBool(control.get(), "IsPlaying"));
    CallInt(control.get(), "Stop");
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
}

TEST_F(AudiocoreHost, OneDecodeAtATimeAcrossControls) {
    std::unique_ptr<QWidget> other(loader.createWidget(QStringLiteral("Audiocore"), &window));
    ASSERT_NE(other, nullptr);
    SetSource(LongLayerTwoFile(dir, 8));
    other->setProperty("SourceFile", QString::fromStdString(SharedPath("vectors/l2-fl10.bit")));
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    EXPECT_EQ(CallInt(other.get(), "Play"), -1);
    EXPECT_EQ(CallInt(other.get(), "WriteWAV", QString::fromStdString(dir.File("o.wav"))), -1);
    CallInt(control.get(), "Stop");
    QSignalSpy finished(other.get(), SIGNAL(Finished(int)));
    ASSERT_EQ(CallInt(other.get(), "Play"), 0);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
}

TEST_F(AudiocoreHost, ADeviceThatCannotOpenEndsTheRunWithHowZero) {
    SetSource(SharedPath("vectors/l2-fl10.bit"));
    control->setProperty("OutputDevID", 9);
    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).toInt(), 0);
    EXPECT_EQ(FileSize(record), 0u);
    // Another device number plays.
    control->setProperty("OutputDevID", 1);
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(FileSize(record), 2u * kLayerTwoBufferBytes);
}

TEST_F(AudiocoreHost, VolumeFollowsAtOnceWhilePlaying) {
    SetSource(SharedPath("vectors/l3-sin1k0db.bit"));
    QSignalSpy finished(control.get(), SIGNAL(Finished(int)));
    control->setProperty("Volume", 0x10000); // low 16 bits: silence
    ASSERT_EQ(CallInt(control.get(), "Play"), 0);
    PlayUntilFrame(200);
    control->setProperty("Volume", 65535);
    EXPECT_EQ(control->property("Volume").toInt(), 65535);
    ASSERT_TRUE(finished.wait(20000));
    std::vector<std::uint8_t> heard = ReadFile(record);
    ASSERT_GT(heard.size(), 4u * 32 * 1152 * 4);
    auto loud = std::find_if(heard.begin(), heard.end(), [](std::uint8_t b) { return b != 0; });
    // Silent at first, full once the volume went up.
    EXPECT_GT(loud - heard.begin(), 1152 * 4);
    EXPECT_NE(loud, heard.end());
}

TEST_F(AudiocoreHost, AboutBoxShowsItsCaptionAndText) {
    QString title, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        EXPECT_EQ(box->buttons().size(), 1);
        box->accept();
    });
    QMetaObject::invokeMethod(control.get(), "AboutBox", Qt::DirectConnection);
    EXPECT_EQ(title, QStringLiteral("About Audiocore Control"));
    EXPECT_EQ(text, QStringLiteral("Audiocore Control, Version 1.9"));
}

TEST_F(AudiocoreHost, ADesignsValuesReachTheControl) {
    const QString design = QStringLiteral(R"(<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <widget class="Audiocore" name="Audiocore1">
   <property name="Volume"><number>32768</number></property>
   <property name="OutputDevID"><number>1</number></property>
   <property name="SourceFile"><string>%1</string></property>
  </widget>
 </widget>
</ui>
)")
                               .arg(QString::fromStdString(SharedPath("vectors/l3-si.bit")));
    QByteArray bytes = design.toUtf8();
    QBuffer buffer(&bytes);
    std::unique_ptr<QWidget> form(loader.load(&buffer));
    ASSERT_NE(form, nullptr);
    QWidget* loaded = form->findChild<QWidget*>(QStringLiteral("Audiocore1"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->property("Volume").toInt(), 32768);
    EXPECT_EQ(loaded->property("OutputDevID").toInt(), 1);
    EXPECT_EQ(CallInt(loaded, "GetFrameCount"), 118);
}

} // namespace

#include "audiocore_control_test.moc"
