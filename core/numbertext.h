// numbertext.h - reading a typed number as a 16-bit whole number, the way the alarm fields need it
#pragma once

#include <QStringView>

#include <variant>

namespace aramu {

enum class NumberError {
    NotANumber, // nothing, blanks only, or anything a decimal number cannot be
    OutOfRange, // a number whose rounded value lies outside -32768 .. 32767
};

// Reads a decimal number with the given decimal separator: surrounding blanks and direction marks are
// ignored, full-width digits, signs and points (as input methods commit them) and every script's decimal
// digits count like ASCII ones, and a fraction rounds to the nearest whole number with an exact half
// going to the even neighbour.
std::variant<qint16, NumberError> ParseWholeNumber(QStringView text, QStringView decimalSeparator);

} // namespace aramu
