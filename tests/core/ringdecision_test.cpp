#include <gtest/gtest.h>

#include <vector>

#include "aramu.h"

namespace {

using aramu::TimeValue;

const aramu::LocaleFormats Japanese = aramu::JapaneseFormats();
const std::int64_t Today = aramu::DayCountFromCivil({2026, 12, 6});

struct Tick {
    std::int64_t day;
    int h, m, s;
};

struct Scenario {
    const char* name;
    const char* hour;
    const char* minute;
    std::vector<Tick> ticks;
    std::vector<int> ringsAt; // indices of ticks that must ring; every other tick must not
};

class RingDecisionTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(RingDecisionTest, RingsOnceWhenTheMomentIsReached) {
    const Scenario& sc = GetParam();
    aramu::AlarmState alarm;
    if (sc.hour != nullptr) {
        ASSERT_EQ(alarm.SetAlarmTime(sc.hour, sc.minute, Japanese), std::nullopt);
    }
    aramu::RingDecision decision(alarm);
    std::vector<int> rang;
    for (std::size_t i = 0; i < sc.ticks.size(); ++i) {
        const Tick& t = sc.ticks[i];
        if (decision.RingNow(TimeValue{t.day, 0}, TimeValue{0, t.h * 3600 + t.m * 60 + t.s}))
            rang.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(rang, sc.ringsAt);
}

const std::int64_t D = Today;

INSTANTIATE_TEST_SUITE_P(
    Scenarios, RingDecisionTest,
    ::testing::Values(
        // Ten ticks a second land several times in the alarm second; only the first rings.
        Scenario{"RegularTicks",
                 "7",
                 "05",
                 {{D, 7, 4, 58}, {D, 7, 4, 59}, {D, 7, 4, 59}, {D, 7, 5, 0}, {D, 7, 5, 0}, {D, 7, 5, 0}, {D, 7, 5, 1}},
                 {3}},
        // A tick stalled past the alarm second still rings while the minute lasts...
        Scenario{"StalledTick", "7", "05", {{D, 7, 4, 59}, {D, 7, 5, 59}, {D, 7, 6, 0}}, {1}},
        // ...but not once the minute is over, nor after a sleep of an hour.
        Scenario{"StalledPastTheMinute", "7", "05", {{D, 7, 4, 59}, {D, 7, 6, 0}}, {}},
        Scenario{"WakeFromSleep", "7", "05", {{D, 6, 30, 0}, {D, 8, 5, 0}, {D, 8, 5, 1}}, {}},
        // The box was dismissed inside the alarm second: the next ticks ring nothing.
        Scenario{"DismissedWithinTheSecond", "7", "05", {{D, 7, 4, 59}, {D, 7, 5, 0}, {D, 7, 5, 0}, {D, 7, 5, 1}}, {1}},
        // The clock set back into the minute, or before it, does not ring the same alarm twice that day.
        Scenario{"ClockSetBack",
                 "7",
                 "05",
                 {{D, 7, 4, 59}, {D, 7, 5, 0}, {D, 7, 5, 30}, {D, 7, 4, 30}, {D, 7, 4, 59}, {D, 7, 5, 0}},
                 {1}},
        Scenario{"SetBackIntoTheMinute", "7", "05", {{D, 7, 10, 0}, {D, 7, 5, 20}, {D, 7, 5, 21}}, {}},
        // The next day rings again.
        Scenario{"NextDay", "7", "05", {{D, 7, 4, 59}, {D, 7, 5, 0}, {D + 1, 7, 4, 59}, {D + 1, 7, 5, 0}}, {1, 3}},
        // Midnight: the previous tick is on the day before.
        Scenario{"Midnight", "0", "00", {{D, 23, 59, 59}, {D + 1, 0, 0, 0}, {D + 1, 0, 0, 0}}, {1}},
        // The program starts inside the alarm second, or later in the minute.
        Scenario{"FirstTickAtTheSecond", "7", "05", {{D, 7, 5, 0}, {D, 7, 5, 0}}, {0}},
        Scenario{"FirstTickLaterInTheMinute", "7", "05", {{D, 7, 5, 1}, {D, 7, 5, 2}}, {}},
        // Never set: midnight passes in silence.
        Scenario{"Unset", nullptr, nullptr, {{D, 23, 59, 59}, {D + 1, 0, 0, 0}, {D + 1, 0, 0, 1}}, {}},
        // Spring forward in local wall time: 02:00 becomes 03:00, so an alarm at 02:30 has no minute that day.
        Scenario{"SpringForwardSkipsTheMinute",
                 "2",
                 "30",
                 {{D, 1, 59, 59}, {D, 3, 0, 0}, {D + 1, 2, 29, 59}, {D + 1, 2, 30, 0}},
                 {3}},
        // Autumn back: 02:59:59 is followed by 02:00:00, so 02:30 happens twice but rings once.
        Scenario{"FallBackRepeatsTheMinute",
                 "2",
                 "30",
                 {{D, 2, 29, 59}, {D, 2, 30, 0}, {D, 2, 59, 59}, {D, 2, 0, 0}, {D, 2, 29, 59}, {D, 2, 30, 0}},
                 {1}}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST(RingDecision, SettingTheAlarmAgainArmsItAfresh) {
    aramu::AlarmState alarm;
    ASSERT_EQ(alarm.SetAlarmTime("7", "05", Japanese), std::nullopt);
    aramu::RingDecision decision(alarm);
    const auto tick = [&](int h, int m, int s) { return decision.RingNow({Today, 0}, {0, h * 3600 + m * 60 + s}); };
    EXPECT_FALSE(tick(7, 4, 59));
    EXPECT_TRUE(tick(7, 5, 0));
    // Same time set again after it rang: the moment is passed for today, so nothing stale rings...
    ASSERT_EQ(alarm.SetAlarmTime("7", "05", Japanese), std::nullopt);
    EXPECT_FALSE(tick(7, 5, 1));
    // ...and a new time later today rings at its own moment.
    ASSERT_EQ(alarm.SetAlarmTime("7", "10", Japanese), std::nullopt);
    EXPECT_FALSE(tick(7, 9, 59));
    EXPECT_TRUE(tick(7, 10, 0));
    // Re-armed to the same time it just rang at, after the clock is set back before it: rings again.
    ASSERT_EQ(alarm.SetAlarmTime("7", "10", Japanese), std::nullopt);
    EXPECT_FALSE(tick(7, 9, 30));
    EXPECT_TRUE(tick(7, 10, 0));
    // A refused setting does not re-arm.
    EXPECT_NE(alarm.SetAlarmTime("24", "00", Japanese), std::nullopt);
    EXPECT_FALSE(tick(7, 9, 59));
    EXPECT_FALSE(tick(7, 10, 0));
}

} // namespace
