#include "Notifier.h"

#include <cstdio>
#include <mutex>

namespace audiocore {

namespace {
std::mutex notifier_mutex;
Notifier installed;
} // namespace

void SetNotifier(Notifier notifier) {
    std::lock_guard lock(notifier_mutex);
    installed = std::move(notifier);
}

void Notify(const std::string& caption, const std::string& text) {
    Notifier current;
    {
        std::lock_guard lock(notifier_mutex);
        current = installed;
    }
    if (current)
        current(caption, text);
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

} // namespace audiocore
