#include "core/localeformats.h"

#include <QList>

#include <algorithm>

namespace aramu {
namespace {

// A pattern as runs of one field letter or of literal text (quotes already resolved).
struct Run {
    QChar letter; // null for literal text
    QString text;
};

QList<Run> Split(const QString& pattern) {
    QList<Run> runs;
    const auto literal = [&runs](const QString& text) {
        if (!runs.isEmpty() && runs.back().letter.isNull())
            runs.back().text += text;
        else
            runs.push_back({QChar(), text});
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            // Quoted text is literal, and '' stands for one quote inside or outside quotes.
            QString quoted;
            qsizetype j = i + 1;
            if (j < pattern.size() && pattern[j] == u'\'') {
                quoted = QStringLiteral("'");
            } else {
                for (; j < pattern.size(); ++j) {
                    if (pattern[j] == u'\'' && j + 1 < pattern.size() && pattern[j + 1] == u'\'')
                        quoted += pattern[++j];
                    else if (pattern[j] == u'\'')
                        break;
                    else
                        quoted += pattern[j];
                }
            }
            literal(quoted);
            i = j + 1;
        } else if (c.isLetter() && c.unicode() < 128) {
            qsizetype n = 1;
            while (i + n < pattern.size() && pattern[i + n] == c)
                ++n;
            runs.push_back({c, QString(n, c)});
            i += n;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    return runs;
}

QString Join(const QList<Run>& runs) {
    QString out;
    for (const Run& r : runs)
        out += r.letter.isNull()
                   ? QLatin1Char('\'') + QString(r.text).replace(u'\'', QStringLiteral("''")) + QLatin1Char('\'')
                   : r.text;
    return out;
}

// The literal between the first two adjacent fields drawn from `letters`.
QString SeparatorOf(const QString& pattern, QStringView letters, const QString& fallback) {
    const QList<Run> runs = Split(pattern);
    const auto field = [&](const Run& r) { return !r.letter.isNull() && letters.contains(r.letter); };
    for (qsizetype i = 0; i + 2 < runs.size(); ++i)
        if (field(runs[i]) && runs[i + 1].letter.isNull() && field(runs[i + 2]))
            return runs[i + 1].text;
    return fallback;
}

} // namespace

QString LongTimePattern(const QString& shortTimePattern) {
    QList<Run> runs;
    for (Run r : Split(shortTimePattern)) {
        const QChar c = r.letter;
        if (c == u't' || c == u'z') {
            // The zone goes with the blank that sets it apart.
            if (!runs.isEmpty() && runs.back().letter.isNull() && runs.back().text.trimmed().isEmpty())
                runs.pop_back();
            continue;
        }
        if (c == u'B' || c == u'b')
            r = {u'A', QStringLiteral("AP")};
        else if (!c.isNull() && !QStringView(u"HhmsAaPp").contains(c))
            continue; // a letter Qt would print as itself
        if (c.isNull() && runs.isEmpty())
            r.text = r.text.trimmed();
        if (!r.text.isEmpty())
            runs.push_back(r);
    }
    const auto minutes = std::find_if(runs.begin(), runs.end(), [](const Run& r) { return r.letter == u'm'; });
    const bool hasSeconds = std::any_of(runs.begin(), runs.end(), [](const Run& r) { return r.letter == u's'; });
    if (!hasSeconds && minutes != runs.end()) {
        // Repeat the separator before the minutes: H:mm becomes H:mm:ss.
        const QString separator = minutes != runs.begin() && std::prev(minutes)->letter.isNull()
                                      ? std::prev(minutes)->text
                                      : QStringLiteral(":");
        const qsizetype at = std::distance(runs.begin(), minutes) + 1;
        runs.insert(at, Run{u's', QStringLiteral("ss")});
        runs.insert(at, Run{QChar(), separator});
    }
    return Join(runs);
}

LocaleFormats FormatsFor(const QLocale& locale, const QString& userTime) {
    const QLocale l = locale.language() == QLocale::C ? QLocale(QLocale::Japanese, QLocale::Japan) : locale;
    const QString time = LongTimePattern(userTime.isEmpty() ? l.timeFormat(QLocale::ShortFormat) : userTime);
    const QString date = l.dateFormat(QLocale::ShortFormat);
    const QString ds = Join({{QChar(), SeparatorOf(date, u"yMd", QStringLiteral("/"))}});
    const QString ts = Join({{QChar(), SeparatorOf(time, u"Hhms", QStringLiteral(":"))}});
    return LocaleFormats{l, time, QStringLiteral("yyyy") + ds + QStringLiteral("MM") + ds + QStringLiteral("dd"),
                         QStringLiteral("HH") + ts + QStringLiteral("mm") + ts + QStringLiteral("ss")};
}

} // namespace aramu
