#include "core/numbertext.h"

#include <QString>

#include <algorithm>

namespace aramu {

std::variant<qint16, NumberError> ParseWholeNumber(QStringView text, QStringView decimalSeparator) {
    // Compatibility folding turns full-width forms and the ideographic space into ASCII. Direction
    // marks, which right-to-left input puts around numbers, are no part of them.
    QString folded = text.toString().normalized(QString::NormalizationForm_KC);
    folded.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    });
    folded = folded.trimmed();
    QStringView s = folded;
    // Any script's decimal digits, as the clock shows them under Arabic or Persian settings.
    const auto isDigit = [](QChar c) { return c.category() == QChar::Number_DecimalDigit; };

    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    // The magnitude saturates: anything past the limit is out of range anyway.
    qint64 whole = 0;
    qsizetype digits = 0;
    for (; !s.isEmpty() && isDigit(s.front()); s = s.mid(1), ++digits)
        whole = std::min<qint64>(whole * 10 + s.front().digitValue(), 1'000'000);

    int firstFraction = 0;    // the digit right after the separator
    bool restNonZero = false; // any non-zero digit after that one
    if (!decimalSeparator.isEmpty() && s.startsWith(decimalSeparator)) {
        s = s.mid(decimalSeparator.size());
        for (qsizetype n = 0; !s.isEmpty() && isDigit(s.front()); s = s.mid(1), ++n, ++digits) {
            const int d = s.front().digitValue();
            if (n == 0)
                firstFraction = d;
            else
                restNonZero = restNonZero || d != 0;
        }
    }
    if (!s.isEmpty() || digits == 0)
        return NumberError::NotANumber;

    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 != 0)))
        ++whole;
    const qint64 value = negative ? -whole : whole;
    if (value < -32768 || value > 32767)
        return NumberError::OutOfRange;
    return static_cast<qint16>(value);
}

} // namespace aramu
