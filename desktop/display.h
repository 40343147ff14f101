// display.h - choosing a display the program can open, before Qt tries one and aborts without it
#pragma once

#include <QByteArray>

#include <optional>

namespace desktop {

// The platform to hand Qt: of `requested` (QT_QPA_PLATFORM's list, or empty for the default of X
// before Wayland, since only through X can the alarm box stay on top) the first whose display answers.
class DisplayChoice {
public:
    explicit DisplayChoice(const QByteArray& requested);
    ~DisplayChoice() { Release(); }
    DisplayChoice(const DisplayChoice&) = delete;
    DisplayChoice& operator=(const DisplayChoice&) = delete;

    // nullopt when no display answers; empty where the system has one display and nothing to choose.
    const std::optional<QByteArray>& Platform() const { return platform_; }
    // Lets go of the X connection that asked, once Qt holds its own: an X server taking a new client
    // just as another leaves may turn it away (Xvfb does), so the two must not meet.
    void Release();

private:
    std::optional<QByteArray> platform_;
    void* x_ = nullptr;
};

// A screenshot needs no screen, and renders the same wherever it is taken. Where there may be no screen
// (X, Wayland) it is drawn offscreen, unless the user names a platform. Windows always has one, and its
// offscreen platform finds fonts only in QT_QPA_FONTDIR: there the window is drawn on the screen, kept out
// of sight, with the system's fonts. Returns whether the window is to be kept out of sight.
bool ChooseScreenshotPlatform(bool platformNamed);

} // namespace desktop
