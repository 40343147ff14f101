// numbertext.h - reading a typed number as a 16-bit whole number, the way the alarm fields need it
#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

namespace aramu {

enum class NumberError {
    NotANumber, // nothing, blanks only, or anything a decimal number cannot be
    OutOfRange, // a number whose rounded value lies outside -32768 .. 32767
};

// Reads a decimal number with the given decimal separator: surrounding blanks (ASCII and the
// ideographic space) are ignored, full-width digits, sign and point count like ASCII ones, a
// fraction rounds to the nearest whole number with an exact half going to the even neighbour.
std::variant<std::int16_t, NumberError> ParseWholeNumber(std::string_view text, std::string_view decimalSeparator);

} // namespace aramu
