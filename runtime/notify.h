// notify.h - a desktop notification, for where no window of ours can stay above the others
#pragma once

#include <QString>

namespace runtime {

// Asks the desktop's notification service to show the text as critical. Never waits for an answer,
// and does nothing where there is no service or no session bus.
void NotifyUrgent(const QString& summary, const QString& body);

} // namespace runtime
