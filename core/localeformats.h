// localeformats.h - the user's date, time and number conventions as a plain value
#pragma once

#include <string>
#include <string_view>

#include "timevalue.h"

namespace aramu {

// Patterns use Qt's letters (yyyy MM dd H HH h hh mm ss AP ap t, quotes for literals), so the
// platform layer passes the system's own patterns through unchanged.
struct LocaleFormats {
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    std::string decimalSeparator = ".";
    std::string longTimePattern = "H:mm:ss";
    std::string shortDatePattern = "yyyy/MM/dd";
    std::string amText = "午前";
    std::string pmText = "午後";

    friend bool operator==(const LocaleFormats&, const LocaleFormats&) = default;
};

// Japanese conventions, also used wherever the platform has no locale of its own.
LocaleFormats JapaneseFormats();

// Builds the formats from a platform's short date and short time patterns. The clock always
// shows seconds and never a time zone, whatever the short time pattern holds.
LocaleFormats FormatsFromPatterns(std::string_view shortDatePattern, std::string_view shortTimePattern,
                                  std::string_view decimalSeparator, std::string_view amText, std::string_view pmText);

// The pattern with any time-zone field removed and a seconds field after the minutes if it had none.
std::string LongTimePatternWithSeconds(std::string_view pattern);

// The literal text between the first two adjacent fields drawn from `letters` ("/" of yyyy/MM/dd with
// "yMd"); fallback if there is none.
std::string SeparatorOf(std::string_view pattern, std::string_view letters, std::string_view fallback);

std::string FormatTime(std::int32_t secondsOfDay, std::string_view pattern, const LocaleFormats& formats);
std::string FormatDate(const CivilDate& date, std::string_view pattern);

} // namespace aramu
