#include "FrmID3.h"

#include "Id3Module.h"
#include "ShownText.h"
#include "SkinnedWindow.h"
#include "clsMP3Info.h"
#include "controlkit/LocalPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPushButton>

#include <stdexcept>
#include <system_error>

namespace songinfo {

namespace {

constexpr char kCaption[] = "FrmID3";
constexpr char kDesign[] = ":/songinfo/FrmID3.ui";
// Written into a new tag: no genre, which reads back as the empty genre the
// editor showed for a file without a tag.
constexpr std::uint8_t kNoGenre = 255;

std::string LocalPath(const QString& filename) {
    return controlkit::PathBytes(filename).toStdString();
}

// A tag field as its box shows it: up to its first NUL (the padding most
// taggers write), trimmed of spaces, so that the box's whole width is free
// to type in.
QString FieldBoxText(const std::string& field) {
    return QString::fromStdString(FieldText(field));
}

QString Reason(const std::system_error& error) {
    return QString::fromLocal8Bit(error.code().message());
}

} // namespace

FrmID3::FrmID3(QWidget* parent, const QString& pluginDir)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(kCaption);
    setModal(true);

    form_ = skinned::LoadDesign(this, kDesign, pluginDir.isEmpty() ? DefaultPluginDir() : pluginDir,
                                QString(), "the tag editor's design");

    skin_ = Control<QWidget>("AdvWin1");
    // The skin control is an invisible helper: the window's surface under it
    // still belongs to the window.
    skin_->setAttribute(Qt::WA_TransparentForMouseEvents);
    txtFilename = Control<QLineEdit>("txtFilename");
    Text1 = Control<QLineEdit>("Text1");
    txtSong = Control<QLineEdit>("txtSong");
    txtArtist = Control<QLineEdit>("txtArtist");
    txtAlbum = Control<QLineEdit>("txtAlbum");
    txtYear = Control<QLineEdit>("txtYear");
    txtGenre = Control<QLineEdit>("txtGenre");
    txtComments = Control<QLineEdit>("txtComments");
    Label11 = Control<QLabel>("Label11");

    for (const EditorArea& area : FrmID3Areas()) {
        QWidget* control = Control<QWidget>(area.name);
        areas_.insert(control, area.command);
        if (auto* button = qobject_cast<QPushButton*>(control))
            connect(button, &QPushButton::clicked, this,
                    [this, command = area.command] { Run(command); });
        else
            control->installEventFilter(this);
    }
    form_->installEventFilter(this);
}

void FrmID3::Run(EditorCommand command) {
    switch (command) {
    case EditorCommand::Save:
        Save();
        return;
    case EditorCommand::Cancel:
        Cancel();
        return;
    }
}

QString FrmID3::DefaultPluginDir() {
    // Beside the program in a build tree, or where an install puts plugins.
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const char* relative : {SONGWELL_BUILD_PLUGIN_DIR, SONGWELL_INSTALLED_PLUGIN_DIR}) {
        QString candidate = programDir.absoluteFilePath(relative);
        if (QDir(candidate).exists())
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(programDir.absoluteFilePath(SONGWELL_INSTALLED_PLUGIN_DIR));
}

template <typename T> T* FrmID3::Control(const char* name) const {
    T* control = form_->findChild<T*>(name);
    if (control == nullptr)
        throw std::runtime_error(std::string("the tag editor's design lacks ") + name);
    return control;
}

void FrmID3::ShowPlayingNotice() {
    OfferCancelOnly();
    Label11->show();
}

void FrmID3::OfferCancelOnly() {
    for (auto area = areas_.cbegin(); area != areas_.cend(); ++area)
        if (area.value() == EditorCommand::Save)
            static_cast<QWidget*>(area.key())->hide();
}

void FrmID3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        Load();
    }
}

void FrmID3::Load() {
    drag_moves = 0;
    // Without a skin file the cut leaves the window rectangular.
    QMetaObject::invokeMethod(skin_, "Cut_Window");

    clsMP3Info info;
    try {
        info.SetFilename(LocalPath(filename_));
    } catch (const std::system_error& error) {
        // Nothing read means nothing safe to write back: only Cancel stays.
        OfferCancelOnly();
        QMetaObject::invokeMethod(
            this,
            [this, reason = Reason(error)] {
                QMessageBox::warning(this, tr("Tag editor"),
                                     tr("\"%1\" cannot be read:\n%2").arg(filename_, reason));
            },
            Qt::QueuedConnection);
    }
    txtFilename->setText(filename_);
    txtSong->setText(FieldBoxText(info.Title()));
    txtArtist->setText(FieldBoxText(info.Artist()));
    txtAlbum->setText(FieldBoxText(info.Album()));
    txtYear->setText(FieldBoxText(info.Year()));
    txtGenre->setText(FieldBoxText(info.Genre()));
    txtComments->setText(FieldBoxText(info.Comment()));
    Text1->setText(txtFilename->text());
    txtSong->setFocus(); // the first box the user edits, not the path
}

void FrmID3::Save() {
    TagRecord record;
    record.SetAlbum(txtAlbum->text().toStdString());
    record.SetArtist(txtArtist->text().toStdString());
    record.SetTitle(txtSong->text().toStdString());
    record.SetYear(txtYear->text().toStdString());
    record.SetComment(txtComments->text().toStdString());
    const std::string path = LocalPath(filename_);
    try {
        // The editor does not edit the genre, so the file keeps the one it has.
        std::optional<TagBlock> block = ReadLastBlock(path);
        bool tagged = block && IsTag(*block);
        record.SetGenre(tagged ? (*block)[tag_layout::kGenreOffset] : kNoGenre);
        WriteTag(path, record);
    } catch (const std::system_error& error) {
        QMessageBox::warning(
            this, tr("Tag editor"),
            tr("The tag of \"%1\" could not be saved:\n%2").arg(filename_, Reason(error)));
        return;
    }
    accept();
}

void FrmID3::Cancel() {
    reject();
}

bool FrmID3::eventFilter(QObject* watched, QEvent* event) {
    if (IsSkinButtonClick(watched, event)) {
        Run(areas_.value(watched));
        return true;
    }
    if (watched == form_)
        return HandleFormMouse(event);
    return QDialog::eventFilter(watched, event);
}

// A skin button, picture or caption, acts when the left button is released
// over it.
bool FrmID3::IsSkinButtonClick(QObject* watched, QEvent* event) const {
    if (!areas_.contains(watched) || event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    return mouse->button() == Qt::LeftButton && widget->isVisible() &&
           widget->rect().contains(mouse->position().toPoint());
}

// Dragging the window by its own surface: the skin control follows the
// pointer on every fifth move, which keeps a slow window system responsive.
bool FrmID3::HandleFormMouse(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        // Controls on the window do not start a drag; events they pass on
        // arrive here with a child under the pointer.
        if (mouse->button() != Qt::LeftButton ||
            form_->childAt(mouse->position().toPoint()) != nullptr)
            return false;
        PassPointer(mouse->position());
        QMetaObject::invokeMethod(skin_, "On_Mouse_Down");
        return true;
    case QEvent::MouseMove:
        if (!(mouse->buttons() & Qt::LeftButton))
            return false;
        PassPointer(mouse->position());
        if (skinned::FifthMove(drag_moves))
            QMetaObject::invokeMethod(skin_, "On_Mouse_Move");
        return true;
    case QEvent::MouseButtonRelease:
        if (mouse->button() != Qt::LeftButton)
            return false;
        QMetaObject::invokeMethod(skin_, "On_Mouse_Up");
        return true;
    default:
        return false;
    }
}

void FrmID3::PassPointer(const QPointF& position) {
    skinned::PassPointer(skin_, form_->mapTo(this, position));
}

} // namespace songinfo
