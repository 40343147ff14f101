#include "numbertext.h"

#include <algorithm>
#include <string>

namespace aramu {
namespace {

// Input methods commit full-width forms; U+FF01..U+FF5E mirror ASCII 0x21..0x7E.
std::string FoldFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 == 0xEF && i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            const unsigned cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
            const bool wanted = (cp >= 0xFF10 && cp <= 0xFF19) || cp == 0xFF0B || cp == 0xFF0D || cp == 0xFF0E;
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && wanted) {
                out += static_cast<char>(cp - 0xFF00 + 0x20);
                i += 2;
                continue;
            }
        }
        if (b0 == 0xE3 && i + 2 < text.size() && text[i + 1] == '\x80' && text[i + 2] == '\x80') {
            out += ' '; // ideographic space
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::variant<std::int16_t, NumberError> ParseWholeNumber(std::string_view text, std::string_view decimalSeparator) {
    const std::string folded = FoldFullWidth(text);
    std::string_view s = folded;
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);

    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }

    // The magnitude saturates: anything past the limit is out of range anyway.
    constexpr std::int64_t Saturated = 1'000'000;
    std::int64_t whole = 0;
    std::size_t wholeDigits = 0;
    while (!s.empty() && IsDigit(s.front())) {
        whole = std::min<std::int64_t>(whole * 10 + (s.front() - '0'), Saturated);
        ++wholeDigits;
        s.remove_prefix(1);
    }

    int firstFraction = 0;    // first digit after the separator
    bool restNonZero = false; // any non-zero digit after that one
    std::size_t fractionDigits = 0;
    if (!decimalSeparator.empty() && s.starts_with(decimalSeparator)) {
        s.remove_prefix(decimalSeparator.size());
        while (!s.empty() && IsDigit(s.front())) {
            if (fractionDigits == 0)
                firstFraction = s.front() - '0';
            else
                restNonZero = restNonZero || s.front() != '0';
            ++fractionDigits;
            s.remove_prefix(1);
        }
    }
    if (!s.empty() || wholeDigits + fractionDigits == 0)
        return NumberError::NotANumber;

    const bool aboveHalf = firstFraction > 5 || (firstFraction == 5 && restNonZero);
    const bool exactHalf = firstFraction == 5 && !restNonZero;
    if (aboveHalf || (exactHalf && whole % 2 != 0))
        ++whole;

    const std::int64_t value = negative ? -whole : whole;
    if (value < -32768 || value > 32767)
        return NumberError::OutOfRange;
    return static_cast<std::int16_t>(value);
}

} // namespace aramu
