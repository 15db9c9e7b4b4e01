#pragma once

#include <functional>
#include <string>

namespace audiocore {

// The decoder shows no window. Its one user-facing message goes to whatever
// the host installs here; without a host it is one line on standard error.
using Notifier = std::function<void(const std::string& caption, const std::string& text)>;

void SetNotifier(Notifier notifier);
void Notify(const std::string& caption, const std::string& text);

} // namespace audiocore
