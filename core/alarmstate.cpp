#include "core/alarmstate.h"

#include "core/numbertext.h"

namespace aramu {

AlarmState& Alarm() {
    static AlarmState alarm;
    return alarm;
}

std::optional<AlarmTimeError> AlarmState::SetAlarmTime(QStringView hourText, QStringView minuteText,
                                                       const LocaleFormats& formats) {
    using Field = AlarmTimeError::Field;
    using Reason = AlarmTimeError::Reason;
    const QString decimal = formats.locale.decimalPoint();
    qint64 parts[2] = {};
    for (const Field field : {Field::Hour, Field::Minute}) {
        const auto number = ParseWholeNumber(field == Field::Hour ? hourText : minuteText, decimal);
        if (const auto* e = std::get_if<NumberError>(&number))
            return AlarmTimeError{field, *e == NumberError::NotANumber ? Reason::NotANumber : Reason::OutOfRange};
        parts[field == Field::Hour ? 0 : 1] = std::get<qint16>(number);
    }
    // Minutes spill into hours (0:75 is 1:15), but a total off the day could never be reached.
    const qint64 seconds = parts[0] * 3600 + parts[1] * 60;
    if (seconds < 0 || seconds >= 86400)
        return AlarmTimeError{Field::Total, Reason::OutsideDay};
    time_ = QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds * 1000));
    ++generation_;
    return std::nullopt;
}

QString AlarmState::AlarmTimeText(const LocaleFormats& formats) const {
    return formats.locale.toString(time_, formats.longTimePattern);
}

} // namespace aramu
