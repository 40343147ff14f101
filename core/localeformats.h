// localeformats.h - the user's date, time and number conventions as a plain value
#pragma once

#include <QLocale>
#include <QString>

namespace aramu {

// Patterns in Qt's letters, formatted with the locale's AM/PM texts and digits.
struct LocaleFormats {
    QLocale locale;
    QString longTimePattern; // the title and the alarm time
    QString datePattern;     // yyyy/MM/dd with the locale's date separator
    QString clockPattern;    // HH:mm:ss with the locale's time separator
};

// The formats of a locale; Japanese for the C locale, which has no conventions of its own. Where the system
// keeps a time format the user chose (Windows does), it is `userTime`, and the clock shows it; elsewhere
// the locale's long format carries the zone and words ("H時mm分ss秒 t"), unlike what desktop clocks show,
// so the short one gains seconds instead.
LocaleFormats FormatsFor(const QLocale& locale, const QString& userTime = {});

// A platform's short time pattern made fit for a clock: seconds after the minutes, no time zone,
// and a day period Qt cannot format ("B") shown as the locale's AM/PM text.
QString LongTimePattern(const QString& shortTimePattern);

} // namespace aramu
