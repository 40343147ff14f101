// ticktexts.h - what the main window shows each tick: the date, the time and its title
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include "core/localeformats.h"

namespace aramu {

inline constexpr QStringView CaptionPrefix = u"ルピカ時計  ";

// yyyy/mm/dd with the locale's date separator.
QString DateText(QDate date, const LocaleFormats& formats);
// A 24-hour hh:nn:ss with the locale's time separator.
QString TimeText(QTime time, const LocaleFormats& formats);
// The prefix and the time in the locale's long time format.
QString CaptionText(QTime time, const LocaleFormats& formats);

// What the desktop is told of an alarm the machine slept through: its time as H:MM, then its message, if
// any, on a line of its own.
QString MissedAlarmText(QTime alarm, const QString& message);

} // namespace aramu
