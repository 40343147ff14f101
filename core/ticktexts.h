// ticktexts.h - what the main window shows each tick: the date, the time and its title
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include "core/clock.h"
#include "core/localeformats.h"

namespace aramu {

inline constexpr QStringView CaptionPrefix = u"ルピカ時計  ";

// yyyy/mm/dd with the locale's date separator.
QString DateText(QDate date, const LocaleFormats& formats);
// A 24-hour hh:nn:ss with the locale's time separator.
QString TimeText(QTime time, const LocaleFormats& formats);
// The prefix and the time in the locale's long time format.
QString CaptionText(QTime time, const LocaleFormats& formats);

// The alarm as the desktop names it wherever it lists the program's reasons: 鈴 and its time as H:MM.
QString AlarmName(QTime alarm);
// What the user is told of an alarm that passed unrung, while the machine slept or while the program stood
// still: its time as H:MM, then its message, if any, on a line of its own.
QString MissedAlarmText(QTime alarm, const QString& message, bool asleep);

// The same three texts for a clock that reads once a second: formatting a pattern costs more than the
// rest of a tick, so the times are formatted once a minute with the seconds put in, the date once a day.
class TickTexts {
public:
    void Update(const ClockReading& now, const LocaleFormats& formats);

    const QString& Date() const { return date_; }
    const QString& Time() const { return time_.text; }
    const QString& Caption() const { return caption_.text; }

private:
    // A text of one minute: what comes before and after its two seconds digits, or, where the
    // pattern shows the seconds otherwise, nothing to splice (formatted in full each second).
    struct Spliced {
        QString head, tail, text;
        bool splices = false;
        void Minute(QTime time, const LocaleFormats& formats, QStringView prefix, const QString& pattern,
                    const QString (&seconds)[60]);
        void Second(QTime time, const LocaleFormats& formats, QStringView prefix, const QString& pattern,
                    const QString (&seconds)[60]);
    };

    LocaleFormats formats_;
    QString seconds_[60]; // the locale's two-digit seconds
    QDate day_;
    int minute_ = -1; // since midnight, or none yet
    QString date_;
    Spliced time_, caption_;
};

} // namespace aramu
