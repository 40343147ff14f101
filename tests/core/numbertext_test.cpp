#include <gtest/gtest.h>

#include "numbertext.h"

namespace {

using aramu::NumberError;
using aramu::ParseWholeNumber;
using Result = std::variant<std::int16_t, NumberError>;

struct Case {
    const char* text;
    const char* decimal;
    Result expected;
};

class ParseWholeNumberTest : public ::testing::TestWithParam<Case> {};

TEST_P(ParseWholeNumberTest, ReadsOrRefuses) {
    const Case& c = GetParam();
    EXPECT_EQ(ParseWholeNumber(c.text, c.decimal), c.expected) << "text: [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(Plain, ParseWholeNumberTest,
                         ::testing::Values(Case{"7", ".", std::int16_t{7}}, Case{"05", ".", std::int16_t{5}},
                                           Case{"0", ".", std::int16_t{0}}, Case{"-0", ".", std::int16_t{0}},
                                           Case{"+12", ".", std::int16_t{12}}, Case{"-1", ".", std::int16_t{-1}},
                                           Case{"  23\t", ".", std::int16_t{23}},
                                           Case{"000000000000000000017", ".", std::int16_t{17}}));

// Exact halves go to the even neighbour; anything past the half goes up.
INSTANTIATE_TEST_SUITE_P(Rounding, ParseWholeNumberTest,
                         ::testing::Values(Case{"2.5", ".", std::int16_t{2}}, Case{"3.5", ".", std::int16_t{4}},
                                           Case{"0.5", ".", std::int16_t{0}}, Case{"1.5", ".", std::int16_t{2}},
                                           Case{"-2.5", ".", std::int16_t{-2}}, Case{"-3.5", ".", std::int16_t{-4}},
                                           Case{"2.50000000000000000001", ".", std::int16_t{3}},
                                           Case{"2.4999999999", ".", std::int16_t{2}},
                                           Case{"2.500", ".", std::int16_t{2}}, Case{".5", ".", std::int16_t{0}},
                                           Case{".6", ".", std::int16_t{1}}, Case{"5.", ".", std::int16_t{5}},
                                           Case{"7,5", ",", std::int16_t{8}}, Case{"7.5", ",", NumberError::NotANumber},
                                           Case{"7,5", ".", NumberError::NotANumber}));

// The limits of a 16-bit signed number apply after rounding.
INSTANTIATE_TEST_SUITE_P(
    Range, ParseWholeNumberTest,
    ::testing::Values(Case{"32767", ".", std::int16_t{32767}}, Case{"32768", ".", NumberError::OutOfRange},
                      Case{"-32768", ".", std::int16_t{-32768}}, Case{"-32769", ".", NumberError::OutOfRange},
                      Case{"32767.4", ".", std::int16_t{32767}}, Case{"32767.5", ".", NumberError::OutOfRange},
                      Case{"-32768.5", ".", std::int16_t{-32768}}, Case{"-32768.51", ".", NumberError::OutOfRange},
                      Case{"99999999999999999999999", ".", NumberError::OutOfRange}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, ParseWholeNumberTest,
    ::testing::Values(Case{"", ".", NumberError::NotANumber}, Case{"   ", ".", NumberError::NotANumber},
                      Case{"\xE3\x80\x80", ".", NumberError::NotANumber}, Case{".", ".", NumberError::NotANumber},
                      Case{"-", ".", NumberError::NotANumber}, Case{"+-1", ".", NumberError::NotANumber},
                      Case{"1 2", ".", NumberError::NotANumber}, Case{"7時", ".", NumberError::NotANumber},
                      Case{"abc", ".", NumberError::NotANumber}, Case{"1e2", ".", NumberError::NotANumber},
                      Case{"0x10", ".", NumberError::NotANumber}, Case{"1.2.3", ".", NumberError::NotANumber},
                      Case{"\xEF\xBC", ".", NumberError::NotANumber}));

// What an input method commits: full-width digits, sign, point and the ideographic space.
INSTANTIATE_TEST_SUITE_P(FullWidth, ParseWholeNumberTest,
                         ::testing::Values(Case{"７", ".", std::int16_t{7}}, Case{"０５", ".", std::int16_t{5}},
                                           Case{"２３", ".", std::int16_t{23}}, Case{"－１", ".", std::int16_t{-1}},
                                           Case{"＋７", ".", std::int16_t{7}}, Case{"２．５", ".", std::int16_t{2}},
                                           Case{"\xE3\x80\x80７\xE3\x80\x80", ".", std::int16_t{7}},
                                           Case{"1５", ".", std::int16_t{15}},
                                           Case{"３２７６８", ".", NumberError::OutOfRange},
                                           Case{"ａ", ".", NumberError::NotANumber}));

} // namespace
