#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>

class QThread;

// Adds a folder with all its subfolders: a library of thousands of songs.
// The folders are walked on a thread of their own; the songs found are then
// handed over a slice at a time, with the event loop running between the
// slices, so that the window keeps answering while its list grows. Folders
// asked for while a walk runs are walked after it, in the order asked.
class FolderWalk : public QObject {
    Q_OBJECT

public:
    explicit FolderWalk(QObject* parent = nullptr);
    ~FolderWalk() override;

    void Start(const QString& folder);
    // Drops the walk and every song not handed over yet.
    void Cancel();
    bool Running() const { return thread_ != nullptr || !found_.isEmpty(); }

signals:
    // The next songs, in the walk's order.
    void SongsFound(const QStringList& songs);
    // Every song of a walk was handed over.
    void Finished();

private:
    void WalkNext();
    void Walked(const QStringList& songs);
    void HandOver();
    void StopThread();

    QStringList folders_; // waiting for their walk
    QStringList found_;   // waiting to be handed over
    qsizetype handed_ = 0;
    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic_bool> cancel_;
    QTimer slices_;
};
