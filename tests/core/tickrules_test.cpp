#include <gtest/gtest.h>

#include <vector>

#include "aramu.h"

namespace {

using aramu::TimeValue;

constexpr TimeValue At(int h, int m, int s) {
    return TimeValue{0, h * 3600 + m * 60 + s};
}
const aramu::LocaleFormats Japanese = aramu::JapaneseFormats();

TEST(TickTexts, DateTimeAndCaption) {
    struct Case {
        aramu::CivilDate date;
        TimeValue time;
        const char* dateText;
        const char* timeText;
        const char* caption;
    };
    for (const Case& c : {Case{{2001, 3, 5}, At(19, 5, 9), "2001/03/05", "19:05:09", "ルピカ時計  19:05:09"},
                          Case{{2001, 3, 5}, At(9, 5, 7), "2001/03/05", "09:05:07", "ルピカ時計  9:05:07"},
                          Case{{2000, 12, 31}, At(0, 0, 0), "2000/12/31", "00:00:00", "ルピカ時計  0:00:00"},
                          Case{{2026, 1, 1}, At(23, 59, 59), "2026/01/01", "23:59:59", "ルピカ時計  23:59:59"},
                          Case{{999, 1, 9}, At(12, 0, 0), "0999/01/09", "12:00:00", "ルピカ時計  12:00:00"}}) {
        EXPECT_EQ(aramu::DateText({aramu::DayCountFromCivil(c.date), 0}, Japanese), c.dateText);
        EXPECT_EQ(aramu::TimeText(c.time, Japanese), c.timeText);
        EXPECT_EQ(aramu::CaptionText(c.time, Japanese), c.caption);
    }
}

struct DueCase {
    const char* hour;
    const char* minute;
    TimeValue time;
    bool due;
};

class IsAlarmDueTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(IsAlarmDueTest, ExactSecondOnly) {
    const DueCase& c = GetParam();
    aramu::AlarmState alarm;
    ASSERT_EQ(alarm.SetAlarmTime(c.hour, c.minute, Japanese), std::nullopt);
    EXPECT_EQ(alarm.IsAlarmDue(c.time), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, IsAlarmDueTest,
    ::testing::Values(DueCase{"7", "05", At(7, 4, 59), false}, DueCase{"7", "05", At(7, 5, 0), true},
                      DueCase{"7", "05", At(7, 5, 1), false}, DueCase{"7", "05", At(19, 5, 0), false},
                      DueCase{"0", "00", At(0, 0, 0), true}, DueCase{"0", "00", At(23, 59, 59), false},
                      DueCase{"23", "59", At(23, 59, 0), true}, DueCase{"0", "00", TimeValue{1, 0}, false}));

// Over a whole day an unset alarm is never due and a set one at exactly one second.
TEST(IsAlarmDue, SecondsOfTheDay) {
    aramu::AlarmState alarm;
    for (const char* minute : {static_cast<const char*>(nullptr), "05"}) {
        if (minute != nullptr) {
            ASSERT_EQ(alarm.SetAlarmTime("7", minute, Japanese), std::nullopt);
        }
        std::vector<std::int32_t> due;
        for (std::int32_t s = 0; s < 86400; ++s)
            if (alarm.IsAlarmDue(TimeValue{0, s}))
                due.push_back(s);
        EXPECT_EQ(due, minute ? std::vector<std::int32_t>{7 * 3600 + 5 * 60} : std::vector<std::int32_t>{});
    }
}

} // namespace
