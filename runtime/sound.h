// sound.h - the desktop's event sounds for the message boxes, played beside them and never in their way
#pragma once

#include <QtGlobal>

class QWidget;

namespace runtime {

// Turns every sound off for the rest of the run (a quiet room).
void SetSilent(bool silent);

// The sound of one box while it is open: Information and Warning play once; Alarm plays over and over
// until this object goes or five minutes have passed. Starting never waits for the sound system, and
// where there is none the box goes on in silence, with one line on stderr for the whole run.
class BoxSound {
public:
    enum Kind { Information, Warning, Alarm };

    BoxSound(Kind kind, QWidget* box);
    ~BoxSound(); // an alarm stops here
    BoxSound(const BoxSound&) = delete;
    BoxSound& operator=(const BoxSound&) = delete;

private:
    quint32 id_ = 0; // the playing alarm's, 0 for none
};

} // namespace runtime
