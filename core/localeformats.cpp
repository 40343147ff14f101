#include "localeformats.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace aramu {
namespace {

struct Token {
    bool field = false; // a run of one pattern letter, otherwise literal text
    char letter = 0;
    std::size_t count = 0;
    std::string text;
};

bool IsFieldLetter(char c) {
    switch (c) {
    case 'y':
    case 'M':
    case 'd':
    case 'H':
    case 'h':
    case 'm':
    case 's':
    case 'z':
    case 'A':
    case 'a':
    case 'P':
    case 'p':
    case 't':
        return true;
    default:
        return false;
    }
}

void AppendLiteral(std::vector<Token>& tokens, std::string_view text) {
    if (text.empty())
        return;
    if (!tokens.empty() && !tokens.back().field)
        tokens.back().text += text;
    else
        tokens.push_back(Token{false, 0, 0, std::string(text)});
}

std::vector<Token> Tokenize(std::string_view pattern) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            std::size_t end = i + 1;
            std::string literal;
            if (end < pattern.size() && pattern[end] == '\'') { // '' is one quote
                AppendLiteral(tokens, "'");
                i = end + 1;
                continue;
            }
            while (end < pattern.size()) {
                if (pattern[end] == '\'') {
                    if (end + 1 < pattern.size() && pattern[end + 1] == '\'') {
                        literal += '\'';
                        end += 2;
                        continue;
                    }
                    break;
                }
                literal += pattern[end++];
            }
            AppendLiteral(tokens, literal);
            i = end < pattern.size() ? end + 1 : end;
        } else if (c == 'A' || c == 'a') {
            // AP, ap, A and a all stand for the AM/PM marker.
            std::size_t n = 1;
            if (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p'))
                n = 2;
            tokens.push_back(Token{true, c, n, {}});
            i += n;
        } else if (IsFieldLetter(c) && c != 'P' && c != 'p') {
            std::size_t n = 1;
            while (i + n < pattern.size() && pattern[i + n] == c)
                ++n;
            tokens.push_back(Token{true, c, n, {}});
            i += n;
        } else {
            AppendLiteral(tokens, pattern.substr(i, 1));
            ++i;
        }
    }
    return tokens;
}

std::string Padded(std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

bool HasAmPm(const std::vector<Token>& tokens) {
    for (const Token& t : tokens)
        if (t.field && (t.letter == 'A' || t.letter == 'a'))
            return true;
    return false;
}

std::string Lowercase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Render(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        if (!t.field) {
            // Re-quote so the result reads as a pattern again.
            bool needsQuotes = false;
            for (char c : t.text)
                needsQuotes = needsQuotes || IsFieldLetter(c) || c == '\'';
            if (!needsQuotes) {
                out += t.text;
                continue;
            }
            out += '\'';
            for (char c : t.text)
                out += c == '\'' ? std::string("''") : std::string(1, c);
            out += '\'';
        } else {
            out.append(t.count, t.letter);
            if ((t.letter == 'A' || t.letter == 'a') && t.count == 2)
                out.back() = t.letter == 'A' ? 'P' : 'p';
        }
    }
    return out;
}

} // namespace

LocaleFormats JapaneseFormats() {
    return LocaleFormats{};
}

std::string FormatTime(std::int32_t secondsOfDay, std::string_view pattern, const LocaleFormats& formats) {
    const std::vector<Token> tokens = Tokenize(pattern);
    const bool twelveHour = HasAmPm(tokens);
    const int hour = secondsOfDay / 3600;
    const int minute = secondsOfDay / 60 % 60;
    const int second = secondsOfDay % 60;
    std::string out;
    for (const Token& t : tokens) {
        if (!t.field) {
            out += t.text;
            continue;
        }
        const std::size_t width = t.count >= 2 ? 2 : 1;
        switch (t.letter) {
        case 'H':
            out += Padded(hour, width);
            break;
        case 'h':
            out += Padded(twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour, width);
            break;
        case 'm':
            out += Padded(minute, width);
            break;
        case 's':
            out += Padded(second, width);
            break;
        case 'z':
            out += t.count >= 3 ? "000" : "0";
            break;
        case 'A':
            out += hour < 12 ? formats.amText : formats.pmText;
            break;
        case 'a':
            out += Lowercase(hour < 12 ? formats.amText : formats.pmText);
            break;
        default: // date and time-zone fields have no place in a time of day
            break;
        }
    }
    return out;
}

std::string FormatDate(const CivilDate& date, std::string_view pattern) {
    std::string out;
    for (const Token& t : Tokenize(pattern)) {
        if (!t.field) {
            out += t.text;
            continue;
        }
        switch (t.letter) {
        case 'y':
            out += t.count <= 2 ? Padded((date.year % 100 + 100) % 100, 2) : Padded(date.year, 4);
            break;
        case 'M':
            out += Padded(date.month, t.count >= 2 ? 2 : 1);
            break;
        case 'd':
            out += Padded(date.day, t.count >= 2 ? 2 : 1);
            break;
        default:
            break;
        }
    }
    return out;
}

std::string LongTimePatternWithSeconds(std::string_view pattern) {
    std::vector<Token> tokens;
    for (Token& t : Tokenize(pattern)) {
        if (t.field && t.letter == 't') {
            // The zone and the blank that set it apart go together.
            if (!tokens.empty() && !tokens.back().field) {
                std::string& text = tokens.back().text;
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                if (text.empty())
                    tokens.pop_back();
            }
            continue;
        }
        if (!t.field && !tokens.empty() && tokens.back().field && tokens.back().letter == 't')
            continue;
        tokens.push_back(std::move(t));
    }
    // A zone at the very start leaves leading blanks behind.
    if (!tokens.empty() && !tokens.front().field) {
        std::string& text = tokens.front().text;
        text.erase(0, text.find_first_not_of(' '));
        if (text.empty())
            tokens.erase(tokens.begin());
    }

    bool hasSeconds = false;
    for (const Token& t : tokens)
        hasSeconds = hasSeconds || (t.field && t.letter == 's');
    if (!hasSeconds) {
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (!tokens[i].field || tokens[i].letter != 'm')
                continue;
            // Repeat the separator that stands before the minutes, as in H:mm -> H:mm:ss.
            std::string separator = ":";
            if (i > 0 && !tokens[i - 1].field)
                separator = tokens[i - 1].text;
            std::vector<Token> seconds{Token{false, 0, 0, separator}, Token{true, 's', 2, {}}};
            tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1, seconds.begin(), seconds.end());
            break;
        }
    }
    return Render(tokens);
}

std::string SeparatorOf(std::string_view pattern, std::string_view letters, std::string_view fallback) {
    const std::vector<Token> tokens = Tokenize(pattern);
    const auto isOneOf = [letters](const Token& t) { return t.field && letters.find(t.letter) != letters.npos; };
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
        if (isOneOf(tokens[i]) && !tokens[i + 1].field && isOneOf(tokens[i + 2]))
            return tokens[i + 1].text;
    }
    return std::string(fallback);
}

LocaleFormats FormatsFromPatterns(std::string_view shortDatePattern, std::string_view shortTimePattern,
                                  std::string_view decimalSeparator, std::string_view amText, std::string_view pmText) {
    LocaleFormats f;
    f.shortDatePattern = std::string(shortDatePattern);
    f.longTimePattern = LongTimePatternWithSeconds(shortTimePattern);
    f.dateSeparator = SeparatorOf(shortDatePattern, "yMd", "/");
    f.timeSeparator = SeparatorOf(f.longTimePattern, "Hhms", ":");
    if (!decimalSeparator.empty())
        f.decimalSeparator = std::string(decimalSeparator);
    if (!amText.empty())
        f.amText = std::string(amText);
    if (!pmText.empty())
        f.pmText = std::string(pmText);
    return f;
}

} // namespace aramu
