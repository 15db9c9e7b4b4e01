#include "QuitSignals.h"

#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signal_pair[2] = {-1, -1};
// A closed terminal (SIGHUP) ends the player like a kill.
constexpr int kQuitSignals[] = {SIGHUP, SIGINT, SIGTERM};
struct sigaction old_actions[std::size(kQuitSignals)]{};

extern "C" void OnQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t ignored = write(signal_pair[0], &byte, 1);
}

} // namespace

QuitSignals::QuitSignals(std::function<void()> on_signal) : on_signal_(std::move(on_signal)) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signal_pair) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(signal_pair[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Arrived(); });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
        sigaction(kQuitSignals[i], &action, &old_actions[i]);
}

QuitSignals::~QuitSignals() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
        sigaction(kQuitSignals[i], &old_actions[i], nullptr);
    notifier_.reset();
    close(signal_pair[0]);
    close(signal_pair[1]);
    signal_pair[0] = signal_pair[1] = -1;
}

void QuitSignals::Arrived() {
    char drained[16];
    while (read(signal_pair[1], drained, sizeof drained) > 0) {
    }
    if (on_signal_)
        on_signal_();
}
