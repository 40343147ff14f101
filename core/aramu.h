// aramu.h - the alarm: its time and message, and what each clock tick shows and decides
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clock.h"
#include "localeformats.h"
#include "numbertext.h"
#include "timevalue.h"

namespace aramu {

inline constexpr std::string_view CaptionPrefix = "ルピカ時計  ";

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

// The alarm of one run. The program has exactly one (Alarm()); tests make their own.
class AlarmState {
public:
    const TimeValue& AlarmTime() const { return time_; }
    const std::string& AlarmMessage() const { return message_; }

    // On error nothing changes. On success the alarm is armed afresh, even for the same time.
    std::optional<AlarmTimeError> SetAlarmTime(std::string_view hourText, std::string_view minuteText,
                                               const LocaleFormats& formats);
    void SetAlarmMessage(std::string text) { message_ = std::move(text); }

    std::string AlarmTimeText(const LocaleFormats& formats) const;
    bool IsAlarmDue(TimeValue timeOfDay) const;

    // Counts successful settings; 0 means the user never set an alarm.
    std::uint64_t Generation() const { return generation_; }

private:
    TimeValue time_{};
    std::string message_;
    std::uint64_t generation_ = 0;
};

AlarmState& Alarm();

// The locale formats the program runs with; Japanese until the platform layer sets them.
const LocaleFormats& Formats();
void SetFormats(LocaleFormats formats);

// The program-wide alarm and formats, under the names the windows use.
inline const TimeValue& AlarmTime() {
    return Alarm().AlarmTime();
}
inline const std::string& AlarmMessage() {
    return Alarm().AlarmMessage();
}
inline std::optional<AlarmTimeError> SetAlarmTime(std::string_view hourText, std::string_view minuteText) {
    return Alarm().SetAlarmTime(hourText, minuteText, Formats());
}
inline void SetAlarmMessage(std::string text) {
    Alarm().SetAlarmMessage(std::move(text));
}
inline std::string AlarmTimeText() {
    return Alarm().AlarmTimeText(Formats());
}
inline bool IsAlarmDue(TimeValue timeOfDay) {
    return Alarm().IsAlarmDue(timeOfDay);
}

// Hours and minutes to a time value with second 0; totals past a day spill into the day count.
TimeValue BuildTimeValue(std::int64_t hour, std::int64_t minute);
// Time of day alone on day 0, date alone at midnight of other days, otherwise both.
std::string TimeValueText(TimeValue value, const LocaleFormats& formats);

TimeValue ReadDate(const Clock& clock = CurrentClock());
TimeValue ReadTimeOfDay(const Clock& clock = CurrentClock());

std::string DateText(TimeValue date, const LocaleFormats& formats = Formats());
std::string TimeText(TimeValue timeOfDay, const LocaleFormats& formats = Formats());
std::string CaptionText(TimeValue timeOfDay, const LocaleFormats& formats = Formats());

// Decides, once per tick, whether to open the alarm box now. It rings when the alarm moment was
// reached since the previous tick and the clock is still within the alarm's minute, so a late tick
// still rings but waking from sleep much later does not; and at most once per alarm setting and
// calendar date, so ticks while the box is open or a clock set back ring nothing more.
class RingDecision {
public:
    explicit RingDecision(const AlarmState& alarm = Alarm()) : alarm_(alarm) {}
    bool RingNow(TimeValue date, TimeValue timeOfDay);

private:
    const AlarmState& alarm_;
    std::optional<std::int64_t> previousMoment_; // seconds since the base day, local wall time
    std::uint64_t rungGeneration_ = 0;
    std::optional<std::int64_t> rungDay_;
};

} // namespace aramu
