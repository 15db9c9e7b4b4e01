#include "FolderWalk.h"

#include "LocalFiles.h"

#include <QThread>

namespace {

// Songs per slice: small enough that a slice takes a few milliseconds of the
// window's thread.
constexpr qsizetype kSlice = 200;

} // namespace

FolderWalk::FolderWalk(QObject* parent) : QObject(parent) {
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &FolderWalk::HandOver);
}

FolderWalk::~FolderWalk() {
    StopThread();
}

void FolderWalk::Start(const QString& folder) {
    folders_.append(folder);
    if (!Running())
        WalkNext();
}

void FolderWalk::Cancel() {
    folders_.clear();
    found_.clear();
    handed_ = 0;
    slices_.stop();
    StopThread();
}

void FolderWalk::StopThread() {
    if (thread_ == nullptr)
        return;
    *cancel_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

void FolderWalk::WalkNext() {
    if (folders_.isEmpty())
        return;
    const QString folder = folders_.takeFirst();
    cancel_ = std::make_shared<std::atomic_bool>(false);
    thread_ = QThread::create([this, folder, cancel = cancel_] {
        QStringList songs = Mp3FilesUnder(folder, *cancel);
        // Dropped unseen when this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, songs = std::move(songs), cancel] {
                if (!*cancel)
                    Walked(songs);
            },
            Qt::QueuedConnection);
    });
    thread_->start();
}

void FolderWalk::Walked(const QStringList& songs) {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    found_ = songs;
    handed_ = 0;
    slices_.start();
}

void FolderWalk::HandOver() {
    const QStringList slice = found_.mid(handed_, kSlice);
    handed_ += slice.size();
    if (!slice.isEmpty())
        emit SongsFound(slice);
    // Cancelled by a receiver of the slice: nothing more to hand over.
    if (!slices_.isActive() || handed_ < found_.size())
        return;
    slices_.stop();
    found_.clear();
    handed_ = 0;
    emit Finished();
    WalkNext();
}
