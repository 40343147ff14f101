// ticktexts.h - what the main window shows each tick: the date, the time and its title
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include "localeformats.h"

namespace aramu {

inline constexpr QStringView CaptionPrefix = u"ルピカ時計  ";

// yyyy/mm/dd with the locale's date separator.
QString DateText(QDate date, const LocaleFormats& formats);
// A 24-hour hh:nn:ss with the locale's time separator.
QString TimeText(QTime time, const LocaleFormats& formats);
// The prefix and the time in the locale's long time format.
QString CaptionText(QTime time, const LocaleFormats& formats);

} // namespace aramu
