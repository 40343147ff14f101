// notify.h - a desktop notification, for what no window of ours can show
#pragma once

#include <QString>

#include <functional>

namespace desktop {

enum class Urgency { Normal = 1, Critical = 2 };

// Asks the desktop's notification service to show the text, without a sound of its own. Never waits for
// an answer. Where there is no session bus, or the service answers with an error (none runs, it refused, it
// did not answer in time), `unseen` is called later from the event loop with the reason; without one,
// nothing is said.
void Notify(const QString& summary, const QString& body, Urgency urgency,
            std::function<void(const QString& why)> unseen = {});

} // namespace desktop
