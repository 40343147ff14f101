// tick_bench.cpp - the core's share of one clock tick: one reading, three texts and the ring decision
#include <benchmark/benchmark.h>

#include "core/ringdecision.h"
#include "core/ticktexts.h"

namespace {

void OneTick(aramu::RingDecision& decision, const aramu::ClockReading& now, const aramu::LocaleFormats& formats) {
    benchmark::DoNotOptimize(aramu::DateText(now.date, formats));
    benchmark::DoNotOptimize(aramu::TimeText(now.time, formats));
    benchmark::DoNotOptimize(aramu::CaptionText(now.time, formats));
    benchmark::DoNotOptimize(decision.RingNow(now));
}

// A reading that moves a second per tick, so every text changes as it does on screen.
void BM_Tick(benchmark::State& state) {
    const aramu::LocaleFormats formats = aramu::FormatsFor(QLocale::c());
    aramu::AlarmState alarm;
    (void)alarm.SetAlarmTime(u"7", u"05", formats);
    aramu::RingDecision decision(alarm);
    aramu::ClockReading now{QDate(2026, 12, 6), QTime(7, 0, 0), 0};
    for (auto _ : state) {
        OneTick(decision, now, formats);
        now.time = now.time.addSecs(1);
        ++now.realSeconds;
    }
}
BENCHMARK(BM_Tick)->Repetitions(10)->ReportAggregatesOnly(true);

// The same with the system clock read each tick, as the program does.
void BM_TickSystemClock(benchmark::State& state) {
    const aramu::LocaleFormats formats = aramu::FormatsFor(QLocale::c());
    aramu::AlarmState alarm;
    aramu::RingDecision decision(alarm);
    const aramu::SystemClock clock;
    for (auto _ : state)
        OneTick(decision, clock.Now(), formats);
}
BENCHMARK(BM_TickSystemClock)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
