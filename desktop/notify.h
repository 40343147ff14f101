// notify.h - a desktop notification, for what no window of ours can show
#pragma once

#include <QString>

namespace desktop {

enum class Urgency { Normal = 1, Critical = 2 };

// Asks the desktop's notification service to show the text, without a sound of its own. Never waits for
// an answer, and does nothing, quietly, where there is no service or no session bus.
void Notify(const QString& summary, const QString& body, Urgency urgency);

} // namespace desktop
