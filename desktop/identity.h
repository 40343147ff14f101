// identity.h - who the program is to the desktop: its name, application id and icon, set once at start-up
#pragma once

#include <QString>

namespace desktop {

struct Identity {
    QString name;     // as people read it, in the sound server's and the notification service's lists
    QString id;       // the desktop entry's name, by which desktops match windows, sounds and notifications
    QString iconName; // in the icon theme
};

void SetIdentity(const Identity& identity);
const Identity& ProgramIdentity();

} // namespace desktop
