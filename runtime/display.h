// display.h - choosing a display the program can open, before Qt tries one and aborts without it
#pragma once

#include <QByteArray>

#include <optional>

namespace runtime {

// What to hand Qt as its platform: of `requested` (QT_QPA_PLATFORM's list, or empty for the default of
// X before Wayland, since only through X can the alarm box stay on top) the first whose display
// answers. nullopt when none does. Empty where the system has one display and nothing to choose.
std::optional<QByteArray> OpenablePlatform(const QByteArray& requested);

} // namespace runtime

namespace runtime {

// In the C locale the C library cannot encode Japanese, and Qt writes the old WM_NAME title through it:
// window managers that read only WM_NAME would show mojibake. Takes UTF-8 there, as Python does since
// 3.7; call after QApplication, which sets the locale from the environment.
void UseUtf8InTheCLocale();

} // namespace runtime
