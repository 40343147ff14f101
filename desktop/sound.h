// sound.h - the desktop's event sounds for the message boxes, played beside them and never in their way
#pragma once

#include <QTimer>

#include <chrono>
#include <memory>

class QWidget;

namespace desktop {

// Turns every sound off for the rest of the run, the bell included (a quiet room).
void SetSilent(bool silent);

struct Playing; // what the box and the sound system share of one sound

// The sound of one box while it is open. Information and Warning play once; Alarm plays over and over for
// five minutes, or until the box goes. Where the sound system fails, the alarm tries again every second
// and, until it is heard, rings the display's bell each second instead; the others ring the bell once.
// Nothing here ever waits for the sound system.
class BoxSound {
public:
    enum Kind { Information, Warning, Alarm };

    explicit BoxSound(Kind kind);
    ~BoxSound(); // as Stop()
    BoxSound(const BoxSound&) = delete;
    BoxSound& operator=(const BoxSound&) = delete;

    Kind SoundKind() const { return kind_; }
    // The box is on screen: the sound starts, tied to its window and titled by it.
    void Start(QWidget* box);
    // An alarm rings for another five minutes from now (its moment came again while the box was open).
    void RingAgain();
    // The box is gone: an alarm falls silent at once.
    void Stop();
    // An alarm that rings still (heard or not, or kept quiet by SetSilent): five minutes from its last ring.
    bool Ringing() const;
    // How often it was asked to ring: once at Start, once more for each RingAgain.
    int Rings() const { return rings_; }

private:
    void Watch();

    const Kind kind_;
    int rings_ = 0;
    std::shared_ptr<Playing> playing_;
    std::chrono::steady_clock::time_point asked_, ringsUntil_;
    QTimer watch_; // rings the bell where the sound is not heard
};

} // namespace desktop
