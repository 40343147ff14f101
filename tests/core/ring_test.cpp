// Reading the clock, and when a tick rings the alarm.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include <QTimeZone>

#include "core/ringdecision.h"

namespace {

// Pins the process time zone for one test and restores it afterwards.
struct ScopedTimeZone {
    QByteArray old = qgetenv("TZ");
    explicit ScopedTimeZone(const char* zone) { qputenv("TZ", zone); }
    ~ScopedTimeZone() { old.isNull() ? qunsetenv("TZ") : qputenv("TZ", old); }
};

TEST(LocalReading, FollowsTheZoneItsChangesAndFarDates) {
    const aramu::ClockReading now = aramu::SystemClock().Now();
    EXPECT_LE(std::llabs(now.WallSeconds() - aramu::LocalReading(std::time(nullptr), 0, 0).WallSeconds()), 1);
#if defined(Q_OS_WIN)
    GTEST_SKIP() << "Windows takes the time zone from its settings, for every program, and never from TZ";
#endif
    const qint64 spring = 1616893200, autumn = 1635642000; // Berlin's changes in 2021, 01:00 UTC
    // clang-format off
    const struct { const char* zone; qint64 instant; const char* local; } cases[] = {
        {":Europe/Berlin", spring - 1, "2021-03-28 01:59:59"}, {":Europe/Berlin", spring, "2021-03-28 03:00:00"},
        {":Europe/Berlin", autumn - 1, "2021-10-31 02:59:59"}, {":Europe/Berlin", autumn, "2021-10-31 02:00:00"},
        // The zone is read afresh: the same instant elsewhere, one reading later.
        {":Asia/Tokyo", spring, "2021-03-28 10:00:00"}, {"UTC", spring, "2021-03-28 01:00:00"},
        // Past 2262, where a nanosecond count overflows.
        {"UTC", 9'277'718'400, "2264-01-01 00:00:00"}, {"UTC", 253'402'300'799, "9999-12-31 23:59:59"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const ScopedTimeZone zone(c.zone);
        const aramu::ClockReading r = aramu::LocalReading(c.instant, 0, 0);
        EXPECT_EQ(r.date.toString(u"yyyy-MM-dd ") + r.time.toString(u"HH:mm:ss"), QLatin1String(c.local)) << c.zone;
    }
}

// A minute before the next ring, in the clock's zone, whatever the zone of whoever keeps the timer.
TEST(WakeInstant, AMinuteBeforeTheNextRing) {
#if defined(Q_OS_WIN)
    GTEST_SKIP() << "Windows takes the time zone from its settings, for every program, and never from TZ";
#endif
    // clang-format off
    const struct { const char* zone; const char* now; QTime alarm; const char* wake; bool justRung = false; } cases[] = {
        {"UTC", "2026-12-09 06:00:00", {7, 5}, "2026-12-09 07:04:00"},
        {"UTC", "2026-12-09 07:03:59", {7, 5}, "2026-12-09 07:04:00"},
        {"UTC", "2026-12-09 07:04:30", {7, 5}, "2026-12-09 07:05:00"}, // less than a minute ahead: at the ring
        {"UTC", "2026-12-09 07:05:00", {7, 5}, "2026-12-10 07:04:00"}, // rung now: tomorrow's
        {"UTC", "2026-12-09 23:00:00", {0, 0}, "2026-12-09 23:59:00"},
        {"UTC", "2026-12-09 23:59:30", {0, 0}, "2026-12-10 00:00:00"},
        {":Asia/Tokyo", "2026-12-09 06:00:00", {7, 5}, "2026-12-09 22:04:00"},
        {":America/New_York", "2026-12-09 23:00:00", {0, 30}, "2026-12-10 05:29:00"},
        // Berlin springs forward at 01:00 UTC on 29 March 2026 (02:00 becomes 03:00): rung at the gap's end.
        {":Europe/Berlin", "2026-03-28 20:00:00", {2, 30}, "2026-03-29 00:59:00"},
        {":Europe/Berlin", "2026-03-28 20:00:00", {3, 0}, "2026-03-29 00:59:00"},
        // and falls back at 01:00 UTC on 25 October (03:00 becomes 02:00): the first 02:30, or once it has passed,
        // the second, which rings for an alarm set between them.
        {":Europe/Berlin", "2026-10-24 20:00:00", {2, 30}, "2026-10-25 00:29:00"},
        {":Europe/Berlin", "2026-10-25 00:45:00", {2, 30}, "2026-10-25 01:29:00"},
        {":Europe/Berlin", "2026-10-25 01:45:00", {2, 30}, "2026-10-26 01:29:00"},
        {":Europe/Berlin", "2026-10-25 00:30:00", {2, 30}, "2026-10-26 01:29:00", true}, // rung at the first
        {"UTC", "2026-12-10 00:00:30", {23, 59}, "2026-12-10 23:58:00", true}, // rung late past midnight
    };
    // clang-format on
    for (const auto& c : cases) {
        const ScopedTimeZone zone(c.zone);
        QDateTime now = QDateTime::fromString(QLatin1String(c.now), u"yyyy-MM-dd HH:mm:ss");
        now.setTimeZone(QTimeZone::utc());
        const QDateTime wake = QDateTime::fromSecsSinceEpoch(
            aramu::WakeInstant(c.alarm, now.toSecsSinceEpoch(), c.justRung), QTimeZone::utc());
        EXPECT_EQ(wake.toString(u"yyyy-MM-dd HH:mm:ss"), QLatin1String(c.wake)) << c.zone << " " << c.now;
    }
}

// clang-format off
// realOffset: real seconds minus wall seconds, which changes where the wall clock jumps; arm: a minute
// (of the scenario's hour) set just before this tick; slept: the real seconds the machine has slept so far.
struct Tick { int day, h, m, s; int realOffset = 0; const char16_t* arm = nullptr; int slept = 0; };
// minute: of the hour, set before the first tick (nullptr: not yet); ringsAt: the ticks that must ring;
// asleepAt: those that must find it passed while the machine slept; awakeAt: while the program stood still.
struct Scenario { const char* name; const char16_t* minute; std::vector<Tick> ticks; std::vector<int> ringsAt; int hour = 7; std::vector<int> asleepAt = {}; std::vector<int> awakeAt = {}; };
// clang-format on

TEST(RingDecision, RingsOnceWhenTheMomentIsReachedAndTellsOfOneMissed) {
    // clang-format off
    const Scenario scenarios[] = {
        {"ticks within the alarm second ring once", u"05", {{0, 7, 4, 59}, {0, 7, 5, 0}, {0, 7, 5, 0}, {0, 7, 5, 1}}, {1}},
        {"a tick stalled into the minute still rings", u"05", {{0, 7, 4, 59}, {0, 7, 5, 59}, {0, 7, 6, 0}}, {1}},
        {"stalled past the minute, awake", u"05", {{0, 7, 4, 59}, {0, 7, 6, 0}}, {}, 7, {}, {1}},
        {"stalled an hour, awake", u"05", {{0, 6, 30, 0}, {0, 8, 5, 0}}, {}, 7, {}, {1}},
        {"waking from sleep", u"05", {{0, 6, 30, 0}, {0, 8, 5, 0, 0, nullptr, 5695}}, {}, 7, {1}},
        {"stalled a little, then slept long", u"05", {{0, 6, 30, 0}, {0, 8, 5, 0, 0, nullptr, 5000}}, {}, 7, {1}},
        {"slept a little, stalled long", u"05", {{0, 6, 30, 0}, {0, 8, 5, 0, 0, nullptr, 2000}}, {}, 7, {}, {1}},
        {"slept through: told once, and the next day rings", u"05",
         {{0, 6, 0, 0}, {0, 8, 0, 0, 0, nullptr, 7200}, {0, 8, 0, 1, 0, nullptr, 7200},
          {0, 7, 5, 0, 3302, nullptr, 7200}, {1, 7, 4, 59, 0, nullptr, 7200}, {1, 7, 5, 0, 0, nullptr, 7200}}, {5}, 7, {1}},
        {"slept into its minute still rings", u"05", {{0, 6, 0, 0}, {0, 7, 5, 30, 0, nullptr, 3930}}, {1}},
        {"a few seconds' stall over a clock set forward rings", u"05", {{0, 6, 0, 0}, {0, 9, 0, 0, -10792}}, {1}},
        {"ringing while the last box is open: each day once", u"05",
         {{0, 7, 4, 59}, {0, 7, 5, 0}, {0, 12, 0, 0}, {0, 23, 59, 59}, {1, 7, 4, 59}, {1, 7, 5, 0}, {1, 7, 5, 1}}, {1, 5}},
        {"clock set back into the minute after ringing", u"05",
         {{0, 7, 4, 59}, {0, 7, 5, 0}, {0, 7, 5, 30}, {0, 7, 4, 30, 61}, {0, 7, 4, 59, 61}, {0, 7, 5, 0, 61}}, {1}},
        {"set back into the minute from later", u"05", {{0, 7, 10, 0}, {0, 7, 5, 20, 281}}, {}},
        {"set back onto the alarm's second", u"05", {{0, 7, 10, 0}, {0, 7, 5, 0, 301}, {0, 7, 5, 1, 301}}, {1}},
        {"set back onto it after ringing", u"05", {{0, 7, 4, 59}, {0, 7, 5, 0}, {0, 7, 5, 30}, {0, 7, 5, 0, 31}}, {1}},
        {"autumn falls back onto the alarm's second", u"00", {{0, 1, 59, 59}, {0, 1, 0, 0, 3600}}, {1}, 1},
        {"the next day rings again", u"05", {{0, 7, 4, 59}, {0, 7, 5, 0}, {1, 7, 4, 59}, {1, 7, 5, 0}}, {1, 3}},
        {"a date revisited rings once", u"05",
         {{0, 7, 4, 59}, {0, 7, 5, 0}, {-1, 7, 4, 59, 86402}, {-1, 7, 5, 0, 86402}, {0, 7, 4, 59, 4}, {0, 7, 5, 0, 4}}, {1, 3}},
        {"midnight", u"00", {{0, 23, 59, 59}, {1, 0, 0, 0}, {1, 0, 0, 0}}, {1}, 0},
        {"first tick at the second", u"05", {{0, 7, 5, 0}, {0, 7, 5, 0}}, {0}},
        {"first tick later in the minute", u"05", {{0, 7, 5, 1}}, {}},
        {"never set", nullptr, {{0, 23, 59, 59}, {1, 0, 0, 0}}, {}, 0},
        {"summer-time gap rings at once", u"30", {{0, 1, 59, 59}, {0, 3, 0, 0, -3599}, {0, 3, 0, 1, -3599}}, {1}, 2},
        {"gap with the alarm on its first second", u"00", {{0, 1, 59, 59}, {0, 3, 0, 0, -3599}}, {1}, 2},
        {"clock set forward by hand over it", u"05", {{0, 6, 0, 0}, {0, 9, 0, 0, -10799}}, {1}},
        {"set forward past midnight over it", u"59", {{0, 23, 58, 30}, {1, 0, 0, 30, -119}}, {1}, 23},
        {"autumn repeats the minute", u"30",
         {{0, 2, 29, 59}, {0, 2, 30, 0}, {0, 2, 59, 59}, {0, 2, 0, 0, 3600}, {0, 2, 30, 0, 3600}}, {1}, 2},
        {"set within its own second", nullptr, {{0, 7, 5, 0}, {0, 7, 5, 1, 0, u"05"}}, {1}},
        {"set before its second", nullptr, {{0, 7, 4, 59}, {0, 7, 5, 0, 0, u"05"}}, {1}},
        {"set later in its minute", nullptr, {{0, 7, 5, 30}, {0, 7, 5, 31, 0, u"05"}}, {}},
        {"set again after its second: nothing stale; a new time rings", u"05",
         {{0, 7, 4, 59}, {0, 7, 5, 0}, {0, 7, 5, 1}, {0, 7, 5, 2, 0, u"05"}, {0, 7, 9, 59, 0, u"10"}, {0, 7, 10, 0}}, {1, 5}},
        {"set again to the time it rang at, clock set back", u"10",
         {{0, 7, 9, 59}, {0, 7, 10, 0}, {0, 7, 9, 30, 31, u"10"}, {0, 7, 10, 0, 31}}, {1, 3}},
        {"a refused setting does not re-arm", u"10",
         {{0, 7, 9, 59}, {0, 7, 10, 0}, {0, 7, 9, 30, 31, u"1440"}, {0, 7, 10, 0, 31}}, {1}},
    };
    // clang-format on
    const aramu::LocaleFormats formats = aramu::FormatsFor(QLocale::c());
    for (const Scenario& sc : scenarios) {
        aramu::AlarmState alarm;
        const auto set = [&](const char16_t* minute) {
            (void)alarm.SetAlarmTime(QString::number(sc.hour), minute, formats);
        };
        if (sc.minute)
            set(sc.minute);
        aramu::RingDecision decision(alarm);
        std::vector<int> rang, asleep, awake;
        for (std::size_t i = 0; i < sc.ticks.size(); ++i) {
            const Tick& t = sc.ticks[i];
            if (t.arm)
                set(t.arm);
            aramu::ClockReading r{QDate(2026, 12, 6).addDays(t.day), QTime(t.h, t.m, t.s)};
            r.realSeconds = r.WallSeconds() + t.realOffset;
            r.awakeSeconds = r.realSeconds - t.slept;
            switch (decision.RingNow(r)) {
            case aramu::Ring::Quiet:
                break;
            case aramu::Ring::Now:
                rang.push_back(static_cast<int>(i));
                break;
            case aramu::Ring::MissedAsleep:
                asleep.push_back(static_cast<int>(i));
                break;
            case aramu::Ring::MissedAwake:
                awake.push_back(static_cast<int>(i));
                break;
            }
        }
        EXPECT_EQ(rang, sc.ringsAt) << sc.name;
        EXPECT_EQ(asleep, sc.asleepAt) << sc.name;
        EXPECT_EQ(awake, sc.awakeAt) << sc.name;
    }
}

} // namespace
