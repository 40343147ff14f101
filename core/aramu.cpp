#include "aramu.h"

#include <variant>

namespace aramu {
namespace {

LocaleFormats& MutableFormats() {
    static LocaleFormats formats = JapaneseFormats();
    return formats;
}

std::string TwoDigits(std::int64_t value) {
    std::string digits = std::to_string(value);
    return digits.size() < 2 ? "0" + digits : digits;
}

} // namespace

AlarmState& Alarm() {
    static AlarmState alarm;
    return alarm;
}

const LocaleFormats& Formats() {
    return MutableFormats();
}
void SetFormats(LocaleFormats formats) {
    MutableFormats() = std::move(formats);
}

TimeValue BuildTimeValue(std::int64_t hour, std::int64_t minute) {
    return TimeValueFromSeconds(hour * 3600 + minute * 60);
}

std::string TimeValueText(TimeValue value, const LocaleFormats& formats) {
    if (value.day == 0)
        return FormatTime(value.seconds, formats.longTimePattern, formats);
    std::string text = FormatDate(CivilFromDayCount(value.day), formats.shortDatePattern);
    if (value.seconds != 0)
        text += " " + FormatTime(value.seconds, formats.longTimePattern, formats);
    return text;
}

std::optional<AlarmTimeError> AlarmState::SetAlarmTime(std::string_view hourText, std::string_view minuteText,
                                                       const LocaleFormats& formats) {
    using Field = AlarmTimeError::Field;
    using Reason = AlarmTimeError::Reason;
    const auto reasonOf = [](NumberError e) {
        return e == NumberError::NotANumber ? Reason::NotANumber : Reason::OutOfRange;
    };

    const auto hour = ParseWholeNumber(hourText, formats.decimalSeparator);
    if (const auto* e = std::get_if<NumberError>(&hour))
        return AlarmTimeError{Field::Hour, reasonOf(*e)};
    const auto minute = ParseWholeNumber(minuteText, formats.decimalSeparator);
    if (const auto* e = std::get_if<NumberError>(&minute))
        return AlarmTimeError{Field::Minute, reasonOf(*e)};

    // Anything off day 0 could never be reached by the clock, so it is refused, not stored.
    const TimeValue value = BuildTimeValue(std::get<std::int16_t>(hour), std::get<std::int16_t>(minute));
    if (value.day != 0)
        return AlarmTimeError{Field::Total, Reason::OutsideDay};

    time_ = value;
    ++generation_;
    return std::nullopt;
}

std::string AlarmState::AlarmTimeText(const LocaleFormats& formats) const {
    return TimeValueText(time_, formats);
}

bool AlarmState::IsAlarmDue(TimeValue timeOfDay) const {
    return generation_ != 0 && timeOfDay == time_;
}

TimeValue ReadDate(const Clock& clock) {
    return TimeValue{clock.Now().day, 0};
}

TimeValue ReadTimeOfDay(const Clock& clock) {
    return TimeValue{0, clock.Now().seconds};
}

std::string DateText(TimeValue date, const LocaleFormats& formats) {
    const CivilDate civil = CivilFromDayCount(date.day);
    const std::string year = std::to_string(civil.year);
    return std::string(year.size() < 4 ? 4 - year.size() : 0, '0') + year + formats.dateSeparator +
           TwoDigits(civil.month) + formats.dateSeparator + TwoDigits(civil.day);
}

std::string TimeText(TimeValue timeOfDay, const LocaleFormats& formats) {
    const std::int32_t s = timeOfDay.seconds;
    return TwoDigits(s / 3600) + formats.timeSeparator + TwoDigits(s / 60 % 60) + formats.timeSeparator +
           TwoDigits(s % 60);
}

std::string CaptionText(TimeValue timeOfDay, const LocaleFormats& formats) {
    return std::string(CaptionPrefix) + TimeValueText(timeOfDay, formats);
}

bool RingDecision::RingNow(TimeValue date, TimeValue timeOfDay) {
    const std::int64_t now = date.day * SecondsPerDay + timeOfDay.seconds;
    const std::optional<std::int64_t> previous = previousMoment_;
    previousMoment_ = now;

    if (alarm_.Generation() == 0)
        return false;
    if (rungGeneration_ == alarm_.Generation() && rungDay_ == date.day)
        return false;

    const std::int64_t alarmMoment = date.day * SecondsPerDay + alarm_.AlarmTime().seconds;
    bool ring = false;
    if (!previous)
        ring = alarm_.IsAlarmDue(timeOfDay);
    else
        ring = *previous < alarmMoment && alarmMoment <= now && now < alarmMoment + 60;

    if (ring) {
        rungGeneration_ = alarm_.Generation();
        rungDay_ = date.day;
    }
    return ring;
}

} // namespace aramu
