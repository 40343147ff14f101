// alarmstate.h - the alarm of one run: its time and its message
#pragma once

#include <QString>
#include <QTime>

#include <optional>

#include "core/localeformats.h"

namespace aramu {

struct AlarmTimeError {
    enum class Field { Hour, Minute, Total };
    enum class Reason {
        NotANumber, // the field's text is no number
        OutOfRange, // the field's number lies outside -32768 .. 32767
        OutsideDay, // hour and minute together fall outside 00:00 .. 23:59
    };
    Field field;
    Reason reason;

    friend bool operator==(const AlarmTimeError&, const AlarmTimeError&) = default;
};

class AlarmState {
public:
    // Midnight until set; only a time within the day is ever stored, as nothing else can ring.
    QTime AlarmTime() const { return time_; }
    const QString& AlarmMessage() const { return message_; }

    // Reads the hour text, then the minute text. On error nothing changes; on success the alarm
    // is armed afresh, even for the same time.
    std::optional<AlarmTimeError> SetAlarmTime(QStringView hourText, QStringView minuteText,
                                               const LocaleFormats& formats);
    void SetAlarmMessage(const QString& text) { message_ = text; }

    QString AlarmTimeText(const LocaleFormats& formats) const;
    // False until an alarm has been set: an alarm nobody chose never rings.
    bool IsAlarmDue(QTime timeOfDay) const { return generation_ != 0 && timeOfDay == time_; }

    // Counts successful settings; 0 means the user never set an alarm.
    quint64 Generation() const { return generation_; }

private:
    QTime time_ = QTime(0, 0);
    QString message_;
    quint64 generation_ = 0;
};

// The program's one alarm, which outlives every window.
AlarmState& Alarm();

} // namespace aramu
