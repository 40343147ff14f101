// sendkeys.h - keystrokes queued to the focused control
#pragma once

#include <QString>

namespace runtime {

// Queues the keys for the focused control and returns at once. Understands "{home}", "{end}" and
// "+" (Shift held for the next key); throws std::invalid_argument for anything else, before
// queuing anything.
void SendKeys(const QString& keys);

} // namespace runtime
