#include "Form1.h"

#include "Form2.h"
#include "FrmID3.h"
#include "LocalFiles.h"
#include "SkinnedWindow.h"
#include "clsMP3Info.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QUrl>

#include <cmath>
#include <stdexcept>

namespace {

constexpr char kDesign[] = ":/player/Form1.ui";
constexpr int kVolumeAtStart = 13107 / 3;

} // namespace

Form1::Form1(const PlayerPaths& paths, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), hooks_(std::move(hooks)),
      binding_(
          [this](const QString& caption, const QString& text) { ShowMessage(caption, text); }) {
    const PlayerPaths places = paths.Completed();
    if (!hooks_.openFile)
        hooks_.openFile = [this](const QString& title) {
            return QFileDialog::getOpenFileName(
                this, title, QString(),
                "MP3 files and play lists (*.mp3 *.m3u *.m3u8 *.pls *.xspf);;MP3 files (*.mp3)");
        };
    if (!hooks_.openFolder)
        hooks_.openFolder = [this](const QString& title) {
            return QFileDialog::getExistingDirectory(this, title);
        };
    if (!hooks_.saveList)
        hooks_.saveList = [this](const QString& title) {
            QFileDialog dialog(this, title, QString(), "M3U8 play lists (*.m3u8)");
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("m3u8"));
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        };
    if (!hooks_.showTagEditor)
        hooks_.showTagEditor = [this, pluginDir = places.pluginDir](const QString& path,
                                                                    bool playing) {
            songinfo::FrmID3 editor(this, pluginDir);
            if (playing)
                editor.ShowPlayingNotice();
            editor.SetFilename(path);
            editor.exec();
        };
    if (!hooks_.quit)
        hooks_.quit = [] { QApplication::quit(); };
    if (!hooks_.openSource)
        hooks_.openSource = [this](const QString& title) {
            return QFileDialog::getOpenFileName(this, title, QString(), "MP3 files (*.mp3)");
        };
    if (!hooks_.saveWav)
        hooks_.saveWav = [this](const QString& title) {
            return QFileDialog::getSaveFileName(this, title, QString(), "WAV files (*.wav)");
        };
    if (!hooks_.openUrl)
        hooks_.openUrl = [this](const QUrl& url) {
            if (!QDesktopServices::openUrl(url))
                ShowMessage(QStringLiteral("Songwell"),
                            "The help page cannot be opened: " + url.toString());
        };
    if (!hooks_.beep)
        hooks_.beep = [] { QApplication::beep(); };
    setAcceptDrops(true);

    LoadDesign(places);
    BindControls();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form1::StatusTick);
    Timer2.setSingleShot(true);
    connect(&walk_, &FolderWalk::SongsFound, this, &Form1::FolderSongsFound);
    connect(&walk_, &FolderWalk::Finished, this, &Form1::FolderWalkFinished);
}

Form1::~Form1() = default;

void Form1::LoadDesign(const PlayerPaths& places) {
    skinDir_ = places.skinDir;
    // Pictures named in the design are the skin's files; a missing one shows
    // nothing.
    form_ =
        skinned::LoadDesign(this, kDesign, places.pluginDir, places.skinDir, "the window's design");
    setWindowTitle(form_->windowTitle());
}

QWidget* Form1::Control(const char* name) const {
    return form_->findChild<QWidget*>(name);
}

void Form1::BindControls() {
    auto required = [this](const char* name, const char* member) {
        QWidget* control = Control(name);
        // Without its plugin a control comes up as a plain placeholder.
        if (control == nullptr || control->metaObject()->indexOfMethod(member) < 0)
            throw std::runtime_error(std::string("the control ") + name +
                                     " is missing: is its plugin installed?");
        return control;
    };
    Audiocore1 = required("Audiocore1", "Play()");
    AdvWin1 = required("AdvWin1", "Cut_Window()");
    CustomListBox1 = required("CustomListBox1", "AddItem(QString,int)");
    PBarY1 = required("PBarY1", "ChangeValue(int,int)");
    PBarY2 = required("PBarY2", "ChangeValue(int,int)");
    lstPlayList1 = form_->findChild<QTreeWidget*>("lstPlayList1");
    Label7 = form_->findChild<QLabel*>("Label7");
    Label8 = form_->findChild<QLabel*>("Label8");
    Label9 = form_->findChild<QLabel*>("Label9");
    Label11 = form_->findChild<QLabel*>("Label11");
    Label12 = form_->findChild<QLabel*>("Label12");
    Label13 = form_->findChild<QLabel*>("Label13");
    Label14 = form_->findChild<QLabel*>("Label14");
    Label16 = form_->findChild<QLabel*>("Label16");
    Label20 = form_->findChild<QLabel*>("Label20");
    Text2 = form_->findChild<QLineEdit*>("Text2");
    Text3 = form_->findChild<QLineEdit*>("Text3");
    if (!lstPlayList1 || !Label7 || !Label8 || !Label9 || !Label11 || !Label12 || !Label13 ||
        !Label14 || !Label16 || !Label20 || !Text2 || !Text3)
        throw std::runtime_error("the window's design lacks its display lines");

    // Number, title, artist: the title takes what the number leaves.
    lstPlayList1->setColumnWidth(0, 26);
    lstPlayList1->setColumnWidth(1, 120);

    // The skin control is a helper without a surface of its own.
    AdvWin1->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QString outline = binding_.Get(AdvWin1, "Skin_Txt_File").toString();
    if (QDir::isRelativePath(outline))
        binding_.Set(AdvWin1, "Skin_Txt_File", QDir(skinDir_).filePath(outline));

    form_->setMouseTracking(true);
    form_->installEventFilter(this);
    // A move without a button reaches only a widget that tracks the pointer:
    // the pictures, captions and lines of the design must track too, so that
    // the moves they leave alone reach the window and clear the hint line.
    for (QFrame* passive : form_->findChildren<QFrame*>())
        if (passive->metaObject() == &QLabel::staticMetaObject ||
            passive->metaObject() == &QFrame::staticMetaObject)
            passive->setMouseTracking(true);
    for (const ClickArea& area : MainWindowAreas())
        BindCommand(area);
    Label14->setText(QStringLiteral("1.Push button 'Load' and select mp3 file.              "
                                    "2.Push button 'To WAV', print file name, save file."));
    BindVisuals();

    connect(CustomListBox1, SIGNAL(DblClick()), this, SLOT(PlayListDblClick()));
    connect(Audiocore1, SIGNAL(NextSourceStarted()), this, SLOT(NextSongStarted()));
    connect(PBarY1, SIGNAL(ChangeValue(int, int)), this, SLOT(SetVolumeFromBar()));
    connect(PBarY1, SIGNAL(Click()), this, SLOT(SetVolumeFromBar()));
    connect(PBarY2, SIGNAL(MouseUp(int, int, float, float)), this,
            SLOT(SeekReleased(int, int, float, float)));
    for (QWidget* bar : {PBarY1, PBarY2})
        bar->installEventFilter(this);
    ApplyReplayGain();
}

void Form1::BindCommand(const ClickArea& area) {
    if (area.command == Command::None)
        return;
    if (area.command == Command::PreviousSong) {
        // The lamp stays lit for the whole action, which may wait.
        OnMouseDown(area.name, [this] {
            Control(kPreviousLamp)->show();
            PreviousSong();
            Control(kPreviousLamp)->hide();
        });
        previousAreas_.append(Control(area.name));
        return;
    }
    OnClick(area.name, CommandHandler(area.command));
}

std::function<void()> Form1::CommandHandler(Command command) {
    switch (command) {
    case Command::Minimize:
        return [this] { binding_.Call(AdvWin1, "Win_Minimize"); };
    case Command::Close:
        return [this] { close(); };
    case Command::LoadSong:
        return [this] { LoadSong(); };
    case Command::LoadFolder:
        // Shift takes the subfolders too.
        return [this] { LoadFolder(clickModifiers_ & Qt::ShiftModifier); };
    case Command::RemoveSong:
        return [this] { RemoveSong(); };
    case Command::ClearList:
        return [this] { ClearList(); };
    case Command::SongInfo:
        return [this] { SongInfo(); };
    case Command::PlayOrPause:
        return [this] { PlayOrPause(); };
    case Command::StopSong:
        return [this] { StopSong(); };
    case Command::NextSong:
        return [this] { NextSong(); };
    case Command::PreviousSong:
        return [this] { PreviousSong(); };
    case Command::Standard:
        return [this] { ChooseMode(PlayMode::Standard); };
    case Command::Shuffle:
        return [this] { ChooseMode(PlayMode::Shuffle); };
    case Command::Repeat:
        return [this] { ChooseMode(PlayMode::Repeat); };
    case Command::ShowConverter:
        return [this] { ShowConverter(); };
    case Command::ShowPlayer:
        return [this] { ShowPlayer(); };
    case Command::LoadSource:
        return [this] { LoadSource(); };
    case Command::Convert:
        return [this] { Convert(); };
    case Command::ToggleHintLine:
        return [this] { ToggleHintLine(); };
    case Command::OpenHelpPage:
        return [this] { OpenHelpPage(); };
    case Command::None:
        break;
    }
    return [] {};
}

void Form1::OnClick(const char* name, std::function<void()> handler) {
    if (QWidget* area = Control(name)) {
        area->installEventFilter(this);
        clicks_.insert(area, std::move(handler));
    }
}

void Form1::OnMouseDown(const char* name, std::function<void()> handler) {
    if (QWidget* area = Control(name)) {
        area->installEventFilter(this);
        mouseDowns_.insert(area, std::move(handler));
    }
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
}

void Form1::Form_Load() {
    binding_.Call(AdvWin1, "Cut_Window");
    // The bar reports the new value, which sets the volume.
    binding_.Set(PBarY1, "Value", kVolumeAtStart);
    bUserStopped = true;
    iCurrentSong = 0;
    iDragCount = 0;
    Timer1.start();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_)
        return Form_Mouse(event);
    if (event->type() == QEvent::Wheel && HandleWheel(watched, *static_cast<QWheelEvent*>(event)))
        return true;
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (event->type() == QEvent::MouseMove) {
        if (auto hint = hints_.find(watched); hint != hints_.end())
            Label9->setText(hint.value());
    }
    if (press || release) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (auto handlers = presses_.find(watched);
            handlers != presses_.end() && mouse->button() == Qt::LeftButton)
            for (const auto& handler : handlers.value())
                handler(press);
    }
    if (auto down = mouseDowns_.find(watched); down != mouseDowns_.end()) {
        if (press)
            down.value()();
        return press || release;
    }
    if (auto click = clicks_.find(watched); click != clicks_.end()) {
        if (release) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
                clickModifiers_ = mouse->modifiers();
                click.value()();
            }
        }
        return press || release;
    }
    return false;
}

bool Form1::Form_Mouse(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton) {
            PassPointer(mouse);
            binding_.Call(AdvWin1, "On_Mouse_Down");
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::LeftButton) {
            PassPointer(mouse);
            // The window follows every fifth move: fewer moves of a
            // frameless window keep the drag smooth on slow servers.
            if (skinned::FifthMove(iDragCount))
                binding_.Call(AdvWin1, "On_Mouse_Move");
        }
        // Moves over a hinted control reach the background too when the
        // control leaves them alone: only the bare background clears.
        if (!HintedAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Label9->setText(" ");
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            binding_.Call(AdvWin1, "On_Mouse_Up");
        return true;
    }
    default:
        return false;
    }
}

bool Form1::HintedAt(QPoint point) const {
    for (QWidget* under = form_->childAt(point); under != nullptr && under != form_;
         under = under->parentWidget())
        if (hints_.contains(under))
            return true;
    return false;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(PathOfUrl(url));
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    AppendPaths(paths);
}

void Form1::PassPointer(QMouseEvent* event) {
    skinned::PassPointer(AdvWin1, form_->mapTo(this, event->position()));
}

void Form1::Wait(double seconds) {
    const int milliseconds = int(std::nearbyint(seconds * 1000));
    if (milliseconds < 1)
        return;
    // Every waiting handler ends with the one timer: a nested wait's end
    // also ends the waits around it.
    QEventLoop loop;
    connect(&Timer2, &QTimer::timeout, &loop, &QEventLoop::quit);
    Timer2.start(milliseconds);
    loop.exec();
    Timer2.stop();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!unloading_) {
        unloading_ = true;
        Form_Unload();
    }
    event->accept();
}

void Form1::Form_Unload() {
    AudioStop();
    Timer1.stop();
    // A window of its own, owned by this one so that it is freed with it.
    banner_ = new Form2(skinDir_, hooks_.quit, this);
    banner_->show();
}

void Form1::QuitNow() {
    unloading_ = true;
    AudioStop();
    Timer1.stop();
    hooks_.quit();
}

void Form1::ShowMessage(const QString& caption, const QString& text) {
    if (hooks_.showMessage) {
        hooks_.showMessage(caption, text);
        return;
    }
    // Not modal, and one box for all: a playing sequence goes on to the next
    // song while the user reads, and repeated failures do not pile up boxes.
    if (messageBox_ == nullptr) {
        messageBox_ = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
        messageBox_->setAttribute(Qt::WA_DeleteOnClose);
        messageBox_->setModal(false);
    }
    messageBox_->setWindowTitle(caption);
    messageBox_->setText(text);
    messageBox_->show();
    messageBox_->raise();
}

// The audio control's members, late bound.

bool Form1::IsPlaying() const {
    return binding_.CallBool(Audiocore1, "IsPlaying");
}

int Form1::AudioInt(const char* method) const {
    return binding_.CallInt(Audiocore1, method, 0);
}

void Form1::AudioStop() {
    binding_.CallInt(Audiocore1, "Stop");
}

void Form1::AudioRewind() {
    paused_ = false;
    binding_.CallInt(Audiocore1, "SetPosition", 0, -1);
}

QString Form1::SourceFile() const {
    return binding_.Get(Audiocore1, "SourceFile").toString();
}
