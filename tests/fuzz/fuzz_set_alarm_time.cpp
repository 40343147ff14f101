// fuzz_set_alarm_time.cpp - any hour and minute text either sets a reachable alarm or changes nothing
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "aramu.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the decimal separator; the rest splits at the first NUL into the two texts.
    if (size == 0)
        return 0;
    static const char* const separators[] = {".", ",", "٫", ""};
    aramu::LocaleFormats formats;
    formats.decimalSeparator = separators[data[0] % 4];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\0');
    const std::string_view hour = rest.substr(0, cut);
    const std::string_view minute = cut == rest.npos ? std::string_view{} : rest.substr(cut + 1);

    static aramu::AlarmState alarm;
    const aramu::TimeValue before = alarm.AlarmTime();
    const std::uint64_t generation = alarm.Generation();
    const auto error = alarm.SetAlarmTime(hour, minute, formats);
    const aramu::TimeValue after = alarm.AlarmTime();

    const bool valid = after.day == 0 && after.seconds >= 0 && after.seconds < 86400 && after.seconds % 60 == 0;
    if (error ? (after != before || alarm.Generation() != generation)
              : (!valid || alarm.Generation() != generation + 1))
        std::abort();
    (void)alarm.AlarmTimeText(formats);
    return 0;
}
