// tick_bench.cpp - the core's share of one clock tick: three texts and the ring decision
#include <benchmark/benchmark.h>

#include "aramu.h"

namespace {

void OneTick(aramu::RingDecision& decision, const aramu::Clock& clock, const aramu::LocaleFormats& formats) {
    benchmark::DoNotOptimize(aramu::DateText(aramu::ReadDate(clock), formats));
    benchmark::DoNotOptimize(aramu::TimeText(aramu::ReadTimeOfDay(clock), formats));
    benchmark::DoNotOptimize(aramu::CaptionText(aramu::ReadTimeOfDay(clock), formats));
    benchmark::DoNotOptimize(decision.RingNow(aramu::ReadDate(clock), aramu::ReadTimeOfDay(clock)));
}

// With a fake clock that moves a second per tick, so every text changes as it does on screen.
void BM_Tick(benchmark::State& state) {
    aramu::AlarmState alarm;
    (void)alarm.SetAlarmTime("7", "05", aramu::JapaneseFormats());
    aramu::RingDecision decision(alarm);
    aramu::FakeClock clock;
    clock.Set({2026, 12, 6}, 7, 0, 0);
    const aramu::LocaleFormats formats = aramu::JapaneseFormats();
    for (auto _ : state) {
        OneTick(decision, clock, formats);
        clock.AdvanceSeconds(1);
    }
}
BENCHMARK(BM_Tick)->Repetitions(10)->ReportAggregatesOnly(true);

// The same with the real clock, which asks the C library for local time on every reading.
void BM_TickSystemClock(benchmark::State& state) {
    aramu::AlarmState alarm;
    aramu::RingDecision decision(alarm);
    const aramu::SystemClock clock;
    const aramu::LocaleFormats formats = aramu::JapaneseFormats();
    for (auto _ : state)
        OneTick(decision, clock, formats);
}
BENCHMARK(BM_TickSystemClock)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
