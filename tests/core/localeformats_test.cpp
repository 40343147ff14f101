#include <gtest/gtest.h>

#include "aramu.h"

namespace {

using aramu::FormatsFromPatterns;
using aramu::LocaleFormats;
using aramu::TimeValue;

constexpr std::int32_t At(int h, int m, int s) {
    return h * 3600 + m * 60 + s;
}

struct PatternCase {
    const char* in;
    const char* out;
};

// Platforms give short time patterns without seconds, some with a time zone; the clock wants neither gap.
TEST(LongTimePatternWithSeconds, AddsSecondsAndDropsZones) {
    for (const PatternCase& c :
         {PatternCase{"H:mm", "H:mm:ss"}, PatternCase{"HH:mm", "HH:mm:ss"}, PatternCase{"h:mm AP", "h:mm:ss AP"},
          PatternCase{"h:mm ap", "h:mm:ss ap"}, PatternCase{"AP h:mm", "AP h:mm:ss"}, PatternCase{"HH.mm", "HH.mm.ss"},
          PatternCase{"H:mm:ss", "H:mm:ss"}, PatternCase{"H時mm分ss秒 t", "H時mm分ss秒"},
          PatternCase{"HH:mm:ss t", "HH:mm:ss"}, PatternCase{"t HH:mm", "HH:mm:ss"},
          PatternCase{"HH'h'mm", "HH'h'mm'h'ss"}, PatternCase{"H 'Uhr' mm", "H' Uhr 'mm' Uhr 'ss"},
          PatternCase{"H:mm 'o''clock'", "H:mm:ss' o''clock'"}}) {
        EXPECT_EQ(aramu::LongTimePatternWithSeconds(c.in), c.out) << c.in;
    }
}

struct TimeCase {
    const char* pattern;
    std::int32_t seconds;
    const char* text;
};

TEST(FormatTime, HourStylesAndMarkers) {
    LocaleFormats english;
    english.amText = "AM";
    english.pmText = "PM";
    for (const TimeCase& c :
         {TimeCase{"H:mm:ss", At(7, 5, 0), "7:05:00"}, TimeCase{"H:mm:ss", At(0, 0, 0), "0:00:00"},
          TimeCase{"HH:mm:ss", At(9, 5, 7), "09:05:07"}, TimeCase{"h:mm:ss AP", At(0, 0, 0), "12:00:00 AM"},
          TimeCase{"h:mm:ss AP", At(11, 59, 59), "11:59:59 AM"}, TimeCase{"h:mm:ss AP", At(12, 0, 0), "12:00:00 PM"},
          TimeCase{"h:mm:ss ap", At(19, 5, 9), "7:05:09 pm"},
          TimeCase{"hh:mm:ss", At(19, 5, 9), "19:05:09"}, // no marker: h stays 24-hour
          TimeCase{"HH'h'mm", At(19, 5, 9), "19h05"}, TimeCase{"H 'o''clock'", At(7, 0, 0), "7 o'clock"}}) {
        EXPECT_EQ(aramu::FormatTime(c.seconds, c.pattern, english), c.text) << c.pattern;
    }
    EXPECT_EQ(aramu::FormatTime(At(13, 0, 0), "AP h:mm:ss", aramu::JapaneseFormats()), "午後 1:00:00");
}

struct LocaleCase {
    const char* name;
    const char* shortDate;
    const char* shortTime;
    const char* decimal;
    const char* am;
    const char* pm;
    // What the clock then shows for 2001-03-05 19:05:09 and for an alarm of hour "7" and minute text.
    const char* dateText;
    const char* timeText;
    const char* caption;
    const char* minuteText;
    const char* alarmText;
};

class LocaleFormatsTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleFormatsTest, TheClockFollowsTheUserFormats) {
    const LocaleCase& c = GetParam();
    const LocaleFormats f = FormatsFromPatterns(c.shortDate, c.shortTime, c.decimal, c.am, c.pm);
    const TimeValue date{aramu::DayCountFromCivil({2001, 3, 5}), 0};
    const TimeValue evening{0, At(19, 5, 9)};
    EXPECT_EQ(aramu::DateText(date, f), c.dateText);
    EXPECT_EQ(aramu::TimeText(evening, f), c.timeText);
    EXPECT_EQ(aramu::CaptionText(evening, f), std::string("ルピカ時計  ") + c.caption);

    aramu::AlarmState alarm;
    ASSERT_EQ(alarm.SetAlarmTime("7", c.minuteText, f), std::nullopt);
    EXPECT_EQ(alarm.AlarmTimeText(f), c.alarmText);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleFormatsTest,
                         ::testing::Values(LocaleCase{"ja_JP", "yyyy/MM/dd", "H:mm", ".", "午前", "午後", "2001/03/05",
                                                      "19:05:09", "19:05:09", "05", "7:05:00"},
                                           LocaleCase{"en_US", "M/d/yy", "h:mm AP", ".", "AM", "PM", "2001/03/05",
                                                      "19:05:09", "7:05:09 PM", "05", "7:05:00 AM"},
                                           LocaleCase{"de_DE", "dd.MM.yy", "HH:mm", ",", "AM", "PM", "2001.03.05",
                                                      "19:05:09", "19:05:09", "4,5", "07:04:00"},
                                           LocaleCase{"fi_FI", "d.M.yyyy", "H.mm", ",", "ap.", "ip.", "2001.03.05",
                                                      "19.05.09", "19.05.09", "30,5", "7.30.00"}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST(LocaleFormats, JapaneseIsTheDefault) {
    const LocaleFormats f = aramu::JapaneseFormats();
    EXPECT_EQ(aramu::DateText({aramu::DayCountFromCivil({2001, 3, 5}), 0}, f), "2001/03/05");
    EXPECT_EQ(aramu::CaptionText({0, At(9, 5, 7)}, f), "ルピカ時計  9:05:07");
    EXPECT_EQ(aramu::Formats(), f);
}

} // namespace
