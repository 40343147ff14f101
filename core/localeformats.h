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

// The formats of a locale; Japanese for the C locale, which has no conventions of its own.
LocaleFormats FormatsFor(const QLocale& locale);

// A platform's short time pattern made fit for a clock: seconds after the minutes, no time zone,
// and a day period Qt cannot format ("B") shown as the locale's AM/PM text.
QString LongTimePattern(const QString& shortTimePattern);

} // namespace aramu
