// The alarm core without a window: typed numbers, alarm settings, the tick texts in every locale.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "core/alarmstate.h"
#include "core/numbertext.h"
#include "core/ticktexts.h"

namespace {

using aramu::NumberError;
using Field = aramu::AlarmTimeError::Field;
using Reason = aramu::AlarmTimeError::Reason;

const aramu::LocaleFormats Japanese = aramu::FormatsFor(QLocale::c());

// Numbers as typed into the hour and minute fields, with "." as the decimal separator unless given.
TEST(ParseWholeNumber, RoundsHalvesToEvenWithinSixteenBits) {
    constexpr int NaN = 1 << 20, Range = 1 << 21;
    // clang-format off
    struct Case { const char16_t* text; int expected; const char16_t* decimal = u"."; };
    const Case cases[] = {
        {u"7", 7}, {u"05", 5}, {u"-0", 0}, {u"  23\t", 23}, {u"2.5", 2}, {u"3.5", 4}, {u"-2.5", -2}, {u"-3.5", -4},
        {u"2.50000000000000000001", 3}, {u"2.4999999", 2}, {u".5", 0}, {u".6", 1}, {u"5.", 5}, {u"7,5", 8, u","},
        {u"7.5", NaN, u","}, {u"32767", 32767}, {u"32768", Range}, {u"-32768", -32768}, {u"-32769", Range},
        {u"32767.5", Range}, {u"-32768.5", -32768}, {u"99999999999999999999999", Range}, {u"", NaN}, {u"   ", NaN},
        {u"\u3000", NaN}, {u".", NaN}, {u"-", NaN}, {u"+-1", NaN}, {u"1 2", NaN}, {u"7時", NaN}, {u"1e2", NaN},
        {u"0x10", NaN}, {u"1,000", NaN}, {u"７", 7}, {u"－１", -1}, {u"２．５", 2}, {u"\u3000０５\u3000", 5}, {u"３２７６８", Range},
        {u"٧", 7}, {u"۱۲", 12}, {u"٢٫٥", 2, u"٫"}, {u"\u200F٧\u200F", 7}, {u"\u061C-٣", -3}, {u"\u200B7", NaN},
        {u"٧\u200D", NaN},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto got = aramu::ParseWholeNumber(c.text, c.decimal);
        const int value = std::holds_alternative<qint16>(got)                     ? std::get<qint16>(got)
                          : std::get<NumberError>(got) == NumberError::NotANumber ? NaN
                                                                                  : Range;
        EXPECT_EQ(value, c.expected) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(AlarmState, SetsOnlyTimesWithinTheDayAndKeepsTheOldOneOtherwise) {
    // clang-format off
    // text: the alarm text afterwards; nullptr where refused
    struct Case { const char16_t *hour, *minute; const char* text; aramu::AlarmTimeError error{}; };
    const Case cases[] = {
        {u"0", u"00", "0:00:00"}, {u"7", u"05", "7:05:00"}, {u"23", u"59", "23:59:00"}, {u"0", u"75", "1:15:00"},
        {u"1", u"-60", "0:00:00"}, {u"６.５", u"３０", "6:30:00"}, {u"x", u"y", nullptr, {Field::Hour, Reason::NotANumber}},
        {u" ", u"05", nullptr, {Field::Hour, Reason::NotANumber}}, {u"7", u"五", nullptr, {Field::Minute, Reason::NotANumber}},
        {u"40000", u"0", nullptr, {Field::Hour, Reason::OutOfRange}}, {u"0", u"-32769", nullptr, {Field::Minute, Reason::OutOfRange}},
        {u"24", u"00", nullptr, {Field::Total, Reason::OutsideDay}}, {u"0", u"-1", nullptr, {Field::Total, Reason::OutsideDay}},
        {u"0", u"1440", nullptr, {Field::Total, Reason::OutsideDay}},
    };
    // clang-format on
    for (const Case& c : cases) {
        aramu::AlarmState alarm;
        EXPECT_EQ(alarm.AlarmTimeText(Japanese), QStringLiteral("0:00:00"));
        EXPECT_FALSE(alarm.IsAlarmDue(QTime(0, 0))); // nobody chose midnight
        ASSERT_FALSE(alarm.SetAlarmTime(u"6", u"30", Japanese));
        const auto error = alarm.SetAlarmTime(c.hour, c.minute, Japanese);
        const std::string what =
            QString::fromUtf16(c.hour).toStdString() + "/" + QString::fromUtf16(c.minute).toStdString();
        EXPECT_EQ(error.value_or(aramu::AlarmTimeError{}), c.error) << what;
        EXPECT_EQ(alarm.AlarmTimeText(Japanese).toStdString(), c.text ? c.text : "6:30:00") << what;
        EXPECT_EQ(alarm.Generation(), c.text ? 2u : 1u) << what;
    }
}

TEST(TickTexts, FollowTheLocale) {
    // clang-format off
    struct Case { const char* locale; QDate date; QTime time; const char16_t *dateText, *timeText, *title; };
    const Case cases[] = {
        {"C", {2001, 3, 5}, {19, 5, 9}, u"2001/03/05", u"19:05:09", u"19:05:09"},
        {"C", {2001, 3, 5}, {9, 5, 7}, u"2001/03/05", u"09:05:07", u"9:05:07"},
        {"C", {999, 1, 9}, {0, 0, 0}, u"0999/01/09", u"00:00:00", u"0:00:00"},
        {"ja_JP", {2026, 12, 31}, {23, 59, 59}, u"2026/12/31", u"23:59:59", u"23:59:59"},
        {"en_US", {2001, 3, 5}, {19, 5, 9}, u"2001/03/05", u"19:05:09", u"7:05:09\u202FPM"},
        {"de_DE", {2001, 3, 5}, {19, 5, 9}, u"2001.03.05", u"19:05:09", u"19:05:09"},
        {"fi_FI", {2001, 3, 5}, {19, 5, 9}, u"2001.03.05", u"19.05.09", u"19.05.09"},
        {"zh_TW", {2001, 3, 5}, {19, 4, 41}, u"2001/03/05", u"19:04:41", u"下午7:04:41"}, // "Bh:mm"
    };
    // clang-format on
    // CLDR 42 sets the day period apart with a narrow no-break space; the data of older Qt has a plain one.
    const bool narrow =
        QLocale(QLocale::English, QLocale::UnitedStates).timeFormat(QLocale::ShortFormat).contains(u'\u202F');
    for (const Case& c : cases) {
        const aramu::LocaleFormats f = aramu::FormatsFor(QLocale(QLatin1String(c.locale)));
        EXPECT_EQ(aramu::DateText(c.date, f), QString::fromUtf16(c.dateText)) << c.locale;
        EXPECT_EQ(aramu::TimeText(c.time, f), QString::fromUtf16(c.timeText)) << c.locale;
        QString title = QString::fromUtf16(c.title);
        if (!narrow)
            title.replace(u'\u202F', u' ');
        EXPECT_EQ(aramu::CaptionText(c.time, f), QStringLiteral("ルピカ時計  ") + title) << c.locale;
    }
    // Typed numbers follow the whole locale's decimal separator, not just its language's.
    for (auto [locale, minute] : {std::pair{"de_DE", u"4,5"}, {"de_CH", u"4.5"}}) {
        aramu::AlarmState alarm;
        EXPECT_FALSE(alarm.SetAlarmTime(u"7", minute, aramu::FormatsFor(QLocale(QLatin1String(locale))))) << locale;
    }
}

// The hour as the title shows it, the minute always in two digits; the message on a line of its own; sleep
// named only where the machine slept.
TEST(TickTexts, MissedAlarmTellsTheTimeAndTheMessage) {
    // clang-format off
    const struct { QTime alarm; const char16_t* message; bool asleep; const char16_t* told; } cases[] = {
        {{0, 0}, u"", true, u"鈴 0:00 はスリープ中に過ぎました"},
        {{7, 5}, u"起きろ", true, u"鈴 7:05 はスリープ中に過ぎました\n起きろ"},
        {{23, 59}, u" ", true, u"鈴 23:59 はスリープ中に過ぎました\n "},
        {{7, 5}, u"起きろ", false, u"鈴 7:05 は過ぎました\n起きろ"},
        {{0, 0}, u"", false, u"鈴 0:00 は過ぎました"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(aramu::MissedAlarmText(c.alarm, QString::fromUtf16(c.message), c.asleep), QString::fromUtf16(c.told));
}

// Whatever pattern a locale gives, the title shows a time and never a pattern letter.
TEST(TickTexts, NoPatternLetterLeaksInAnyLocale) {
    const auto all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    static const QRegularExpression quoted(QStringLiteral("'[^']*'")), letter(QStringLiteral("[A-Za-z]"));
    for (const QLocale& locale : all) {
        const aramu::LocaleFormats f = aramu::FormatsFor(locale);
        const QTime evening(19, 4, 41);
        QString title = aramu::CaptionText(evening, f).mid(aramu::CaptionPrefix.size());
        // What may hold letters: the day period, as the locale names it (ha_GH's "Yamma", whose letters are no
        // pattern's) or in Qt's upper or lower case, and the words the pattern quotes ("'kl'. H.mm").
        for (const QString& period :
             {locale.pmText(), locale.toString(evening, u"AP"), locale.toString(evening, u"ap")})
            title.remove(period);
        for (const auto& m : quoted.globalMatch(f.longTimePattern))
            title.remove(m.captured().mid(1, m.capturedLength() - 2));
        const std::string what = locale.name().toStdString() + ": " + title.toStdString();
        EXPECT_FALSE(title.contains(letter)) << what;
        EXPECT_TRUE(title.contains(locale.toString(evening, u"ss"))) << what;
        aramu::TickTexts texts; // formatted at the minute, then the seconds put in
        for (const QTime time : {QTime(19, 4, 0), evening})
            texts.Update({QDate(2001, 3, 5), time}, f);
        EXPECT_EQ(texts.Caption() + texts.Time(), aramu::CaptionText(evening, f) + aramu::TimeText(evening, f)) << what;
    }
}

} // namespace
