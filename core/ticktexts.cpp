#include "core/ticktexts.h"

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

QString MissedAlarmText(QTime alarm, const QString& message) {
    QString text = QStringLiteral("鈴 %1:%2 はスリープ中に過ぎました")
                       .arg(alarm.hour())
                       .arg(alarm.minute(), 2, 10, QLatin1Char('0'));
    if (!message.isEmpty())
        text += QLatin1Char('\n') + message;
    return text;
}

} // namespace aramu
