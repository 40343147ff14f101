#include <gtest/gtest.h>

#include "aramu.h"

namespace {

using aramu::AlarmState;
using aramu::AlarmTimeError;
using aramu::TimeValue;
using Field = AlarmTimeError::Field;
using Reason = AlarmTimeError::Reason;

const aramu::LocaleFormats Japanese = aramu::JapaneseFormats();

TEST(AlarmState, StartsAtMidnightWithAnEmptyMessageAndNeverRings) {
    const AlarmState alarm;
    EXPECT_EQ(alarm.AlarmTime(), (TimeValue{0, 0}));
    EXPECT_EQ(alarm.AlarmTimeText(Japanese), "0:00:00");
    EXPECT_EQ(alarm.AlarmMessage(), "");
    EXPECT_FALSE(alarm.IsAlarmDue(TimeValue{0, 0}));
}

struct SetCase {
    const char* hour;
    const char* minute;
    TimeValue expected;
    const char* text;
};

class SetAlarmTimeAccepts : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetAlarmTimeAccepts, StoresTheTimeOfDay) {
    const SetCase& c = GetParam();
    AlarmState alarm;
    EXPECT_EQ(alarm.SetAlarmTime(c.hour, c.minute, Japanese), std::nullopt);
    EXPECT_EQ(alarm.AlarmTime(), c.expected);
    EXPECT_EQ(alarm.AlarmTimeText(Japanese), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetAlarmTimeAccepts,
    ::testing::Values(SetCase{"0", "00", {0, 0}, "0:00:00"}, SetCase{"0", "0", {0, 0}, "0:00:00"},
                      SetCase{"7", "05", {0, 7 * 3600 + 5 * 60}, "7:05:00"},
                      SetCase{"23", "55", {0, 23 * 3600 + 55 * 60}, "23:55:00"},
                      SetCase{"23", "59", {0, 86340}, "23:59:00"},
                      SetCase{"0", "75", {0, 3600 + 15 * 60}, "1:15:00"},           // minutes spill into hours
                      SetCase{"1", "-60", {0, 0}, "0:00:00"},                       // still within day 0
                      SetCase{"0", "1439", {0, 86340}, "23:59:00"},                 // last minute of the day
                      SetCase{"６.５", "３０", {0, 6 * 3600 + 30 * 60}, "6:30:00"}, // 6.5 rounds to even 6
                      SetCase{"７", "０５", {0, 7 * 3600 + 5 * 60}, "7:05:00"}));

struct RefuseCase {
    const char* hour;
    const char* minute;
    AlarmTimeError error;
};

class SetAlarmTimeRefuses : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(SetAlarmTimeRefuses, KeepsTheOldAlarm) {
    const RefuseCase& c = GetParam();
    AlarmState alarm;
    ASSERT_EQ(alarm.SetAlarmTime("7", "05", Japanese), std::nullopt);
    const auto generation = alarm.Generation();
    EXPECT_EQ(alarm.SetAlarmTime(c.hour, c.minute, Japanese), c.error);
    EXPECT_EQ(alarm.AlarmTime(), (TimeValue{0, 7 * 3600 + 5 * 60}));
    EXPECT_EQ(alarm.Generation(), generation);
    EXPECT_TRUE(alarm.IsAlarmDue(TimeValue{0, 7 * 3600 + 5 * 60}));
}

INSTANTIATE_TEST_SUITE_P(Errors, SetAlarmTimeRefuses,
                         ::testing::Values(RefuseCase{"x", "05", {Field::Hour, Reason::NotANumber}},
                                           RefuseCase{" ", "05", {Field::Hour, Reason::NotANumber}},
                                           RefuseCase{"7", "", {Field::Minute, Reason::NotANumber}},
                                           RefuseCase{"7", "五", {Field::Minute, Reason::NotANumber}},
                                           RefuseCase{
                                               "x", "y", {Field::Hour, Reason::NotANumber}}, // hour is read first
                                           RefuseCase{"32768", "0", {Field::Hour, Reason::OutOfRange}},
                                           RefuseCase{"0", "-32769", {Field::Minute, Reason::OutOfRange}},
                                           RefuseCase{"24", "00", {Field::Total, Reason::OutsideDay}},
                                           RefuseCase{"-1", "00", {Field::Total, Reason::OutsideDay}},
                                           RefuseCase{"23", "75", {Field::Total, Reason::OutsideDay}},
                                           RefuseCase{"0", "1440", {Field::Total, Reason::OutsideDay}},
                                           RefuseCase{"0", "-1", {Field::Total, Reason::OutsideDay}},
                                           RefuseCase{"32767", "32767", {Field::Total, Reason::OutsideDay}}));

// The text rule itself covers day counts other than 0, which the building rule produces past a day.
TEST(TimeValueText, DayCountsOtherThanZero) {
    struct Case {
        std::int64_t hour, minute;
        const char* text;
    };
    for (const Case& c :
         {Case{24, 0, "1899/12/31"}, Case{25, 30, "1899/12/31 1:30:00"}, Case{-1, 0, "1899/12/29 23:00:00"},
          Case{-24, 0, "1899/12/29"}, Case{48, 0, "1900/01/01"}, Case{32767, 0, "1903/09/26 7:00:00"}}) {
        EXPECT_EQ(aramu::TimeValueText(aramu::BuildTimeValue(c.hour, c.minute), Japanese), c.text)
            << c.hour << ":" << c.minute;
    }
}

} // namespace
