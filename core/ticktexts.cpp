#include "core/ticktexts.h"

#include <QStringBuilder>

namespace aramu {

QString DateText(QDate date, const LocaleFormats& formats) {
    return formats.locale.toString(date, formats.datePattern);
}

QString TimeText(QTime time, const LocaleFormats& formats) {
    return formats.locale.toString(time, formats.clockPattern);
}

QString CaptionText(QTime time, const LocaleFormats& formats) {
    return CaptionPrefix.toString() + formats.locale.toString(time, formats.longTimePattern);
}

QString AlarmName(QTime alarm) {
    return QStringLiteral("鈴 %1:%2").arg(alarm.hour()).arg(alarm.minute(), 2, 10, QLatin1Char('0'));
}

QString MissedAlarmText(QTime alarm, const QString& message, bool asleep) {
    QString text = AlarmName(alarm) + (asleep ? QStringLiteral(" はスリープ中に過ぎました") : QStringLiteral(" は過ぎました"));
    if (!message.isEmpty())
        text += QLatin1Char('\n') + message;
    return text;
}

namespace {

bool SameFormats(const LocaleFormats& a, const LocaleFormats& b) {
    return a.locale == b.locale && a.longTimePattern == b.longTimePattern && a.datePattern == b.datePattern &&
           a.clockPattern == b.clockPattern;
}

} // namespace

void TickTexts::Spliced::Minute(QTime time, const LocaleFormats& formats, QStringView prefix, const QString& pattern,
                                const QString (&seconds)[60]) {
    const auto at = [&](int s) {
        return prefix.toString() + formats.locale.toString(QTime(time.hour(), time.minute(), s), pattern);
    };
    // Two seconds that differ in both digits show where the seconds are; a third with a leading zero
    // tells two-digit seconds from seconds that drop it ("s").
    const QString a = at(10), b = at(27), c = at(5);
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    head = a.left(i);
    tail = a.mid(i + seconds[10].size());
    splices = a.size() == b.size() && a == head + seconds[10] + tail && b == head + seconds[27] + tail &&
              c == head + seconds[5] + tail;
    Second(time, formats, prefix, pattern, seconds);
}

void TickTexts::Spliced::Second(QTime time, const LocaleFormats& formats, QStringView prefix, const QString& pattern,
                                const QString (&seconds)[60]) {
    text = splices ? QString(head % seconds[time.second()] % tail)
                   : prefix.toString() + formats.locale.toString(time, pattern);
}

void TickTexts::Update(const ClockReading& now, const LocaleFormats& formats) {
    if (!SameFormats(formats, formats_) || seconds_[0].isEmpty()) {
        formats_ = formats;
        for (int s = 0; s < 60; ++s)
            seconds_[s] = formats.locale.toString(QTime(0, 0, s), u"ss");
        day_ = QDate();
        minute_ = -1;
    }
    if (now.date != day_) {
        day_ = now.date;
        date_ = DateText(now.date, formats_);
    }
    const int minute = now.time.hour() * 60 + now.time.minute();
    if (minute != minute_) {
        minute_ = minute;
        time_.Minute(now.time, formats_, {}, formats_.clockPattern, seconds_);
        caption_.Minute(now.time, formats_, CaptionPrefix, formats_.longTimePattern, seconds_);
    } else {
        time_.Second(now.time, formats_, {}, formats_.clockPattern, seconds_);
        caption_.Second(now.time, formats_, CaptionPrefix, formats_.longTimePattern, seconds_);
    }
}

} // namespace aramu
