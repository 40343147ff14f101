// fuzz_set_alarm_time.cpp - any hour and minute text either sets a time within the day or changes nothing
#include <cstdint>
#include <cstdlib>

#include "core/alarmstate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the locale (and so the decimal separator); the rest splits at the first
    // NUL into the two texts, read as UTF-8.
    if (size == 0)
        return 0;
    static const aramu::LocaleFormats formats[] = {aramu::FormatsFor(QLocale::c()),
                                                   aramu::FormatsFor(QLocale(QLocale::German)),
                                                   aramu::FormatsFor(QLocale(QLocale::Arabic, QLocale::Egypt))};
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype cut = rest.indexOf('\0');
    const QString hour = QString::fromUtf8(rest.left(cut < 0 ? rest.size() : cut));
    const QString minute = cut < 0 ? QString() : QString::fromUtf8(rest.mid(cut + 1));

    static aramu::AlarmState alarm;
    const QTime before = alarm.AlarmTime();
    const quint64 generation = alarm.Generation();
    const auto& f = formats[data[0] % 3];
    const auto error = alarm.SetAlarmTime(hour, minute, f);
    const QTime after = alarm.AlarmTime();
    if (error ? (after != before || alarm.Generation() != generation)
              : (!after.isValid() || after.second() != 0 || alarm.Generation() != generation + 1))
        std::abort();
    (void)alarm.AlarmTimeText(f);
    return 0;
}
