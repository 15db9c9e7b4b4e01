#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

// SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl-C, the terminal closed) as a call on
// the GUI thread: the handler only writes a byte to a socket pair, and a
// notifier on the other end runs `on_signal` from the event loop, where the
// window may stop the song and quit. The old handlers come back on
// destruction.
class QuitSignals : public QObject {
public:
    explicit QuitSignals(std::function<void()> on_signal);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    void Arrived();

    std::function<void()> on_signal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
