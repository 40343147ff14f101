#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "aramu.h"

namespace {

using aramu::CivilDate;
using aramu::DayCountFromCivil;
using aramu::LocalDateTime;

// Pins the process time zone for one test and restores it afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (old_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

TEST(Calendar, DayCountRoundTripsAndKnownDays) {
    struct Case {
        CivilDate date;
        std::int64_t day;
    };
    for (const Case& c : {Case{{1899, 12, 30}, 0}, Case{{1899, 12, 31}, 1}, Case{{1899, 12, 29}, -1},
                          Case{{1900, 1, 1}, 2}, Case{{1900, 3, 1}, 61}, // 1900 is no leap year
                          Case{{1970, 1, 1}, 25569}, Case{{2000, 2, 29}, 36585}, Case{{2001, 3, 5}, 36955},
                          Case{{2026, 12, 6}, 46362}, Case{{1600, 1, 1}, -109571}}) {
        EXPECT_EQ(DayCountFromCivil(c.date), c.day) << c.date.year << "-" << c.date.month << "-" << c.date.day;
        const CivilDate back = aramu::CivilFromDayCount(c.day);
        EXPECT_EQ(back.year, c.date.year);
        EXPECT_EQ(back.month, c.date.month);
        EXPECT_EQ(back.day, c.date.day);
    }
    for (std::int64_t day = -800000; day < 3000000; day += 997)
        EXPECT_EQ(DayCountFromCivil(aramu::CivilFromDayCount(day)), day);
}

// Europe/Berlin leaves winter time at 2021-03-28 02:00 (01:00 UTC) and returns at
// 2021-10-31 03:00 (01:00 UTC).
TEST(LocalFromInstant, FollowsWallTimeAcrossDaylightSavingChanges) {
    const ScopedTimeZone zone(":Europe/Berlin");
    struct Case {
        std::time_t instant;
        CivilDate date;
        int hour, minute, second;
    };
    const std::time_t springUtc = 1616893200; // 2021-03-28 01:00:00 UTC
    const std::time_t autumnUtc = 1635642000; // 2021-10-31 01:00:00 UTC
    for (const Case& c : {Case{springUtc - 1, {2021, 3, 28}, 1, 59, 59}, Case{springUtc, {2021, 3, 28}, 3, 0, 0},
                          Case{autumnUtc - 3600, {2021, 10, 31}, 2, 0, 0},
                          Case{autumnUtc - 1, {2021, 10, 31}, 2, 59, 59}, Case{autumnUtc, {2021, 10, 31}, 2, 0, 0},
                          Case{1616886000 - 1, {2021, 3, 27}, 23, 59, 59}, // last second before local midnight
                          Case{1616886000, {2021, 3, 28}, 0, 0, 0}}) {
        const LocalDateTime local = aramu::LocalFromInstant(c.instant);
        EXPECT_EQ(local, (LocalDateTime{DayCountFromCivil(c.date), c.hour * 3600 + c.minute * 60 + c.second}))
            << "instant " << c.instant;
    }
}

TEST(Clock, ReadingsComeFromTheInstalledClock) {
    aramu::FakeClock fake;
    fake.Set({2001, 3, 5}, 23, 59, 59);
    aramu::InstallClock(&fake);
    EXPECT_EQ(aramu::ReadDate(), (aramu::TimeValue{DayCountFromCivil({2001, 3, 5}), 0}));
    EXPECT_EQ(aramu::ReadTimeOfDay(), (aramu::TimeValue{0, 86399}));
    fake.AdvanceSeconds(1); // across midnight into the next date
    EXPECT_EQ(aramu::ReadDate(), (aramu::TimeValue{DayCountFromCivil({2001, 3, 6}), 0}));
    EXPECT_EQ(aramu::ReadTimeOfDay(), (aramu::TimeValue{0, 0}));
    fake.AdvanceSeconds(-2);
    EXPECT_EQ(aramu::ReadTimeOfDay(), (aramu::TimeValue{0, 86398}));
    aramu::InstallClock(nullptr);

    // The system clock agrees with the C library to within a second of each other.
    const LocalDateTime expected = aramu::LocalFromInstant(std::time(nullptr));
    const aramu::TimeValue date = aramu::ReadDate();
    const aramu::TimeValue time = aramu::ReadTimeOfDay();
    EXPECT_LE(std::llabs((date.day * 86400 + time.seconds) - (expected.day * 86400 + expected.seconds)), 1);
}

} // namespace
