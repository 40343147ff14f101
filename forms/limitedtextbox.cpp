#include "forms/limitedtextbox.h"

#include <QSignalBlocker>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace forms {
namespace {

// Where each character as a person sees it ends in `text` (grapheme clusters: a flag, an accented
// letter typed as two code points, a family of emoji are one each).
QList<qsizetype> CharEnds(const QString& text) {
    QList<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        ends.push_back(at);
    return ends;
}

} // namespace

qsizetype CharCount(const QString& text) {
    return CharEnds(text).size();
}

FittedText FitEdit(const QString& before, const QString& edited, qsizetype limit) {
    if (CharCount(edited) <= limit)
        return {edited, -1};

    // What the edit kept of `before` is a common prefix and suffix; the middle is what it inserted.
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(before.size(), edited.size());
    while (prefix < shorter && before[prefix] == edited[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == edited[edited.size() - 1 - suffix])
        ++suffix;
    // The kept parts end and begin on whole characters, so nothing is split between them and the insert.
    QList<qsizetype> bounds = CharEnds(edited);
    bounds.prepend(0);
    const qsizetype headEnd = *std::prev(std::upper_bound(bounds.begin(), bounds.end(), prefix));
    const qsizetype tailStart =
        *std::lower_bound(bounds.begin(), bounds.end(), std::max(headEnd, edited.size() - suffix));
    const QString head = edited.left(headEnd);
    const QString tail = edited.mid(tailStart);
    const QString inserted = edited.mid(headEnd, tailStart - headEnd);

    // As much of the insert as fits, in whole characters: the count only grows with what is kept.
    QList<qsizetype> cuts = CharEnds(inserted);
    cuts.prepend(0);
    const auto fits = [&](qsizetype cut) { return CharCount(head + inserted.left(cut) + tail) <= limit; };
    const auto last = std::partition_point(cuts.begin(), cuts.end(), fits);
    const QString kept = last == cuts.begin() ? QString() : inserted.left(*std::prev(last));
    QString text = head + kept + tail;
    // Text that was already too long is cut at the end rather than kept over the limit.
    if (CharCount(text) > limit)
        text.truncate(CharEnds(text).at(limit - 1));
    return {text, std::min(head.size() + kept.size(), text.size())};
}

LimitedTextBox::LimitedTextBox(const QString& text, qsizetype maxChars, QWidget* parent)
    : QLineEdit(parent), maxChars_(maxChars) {
    setText(FitEdit(QString(), text, maxChars).text);
    accepted_ = this->text();
    connect(this, &QLineEdit::textChanged, this, &LimitedTextBox::OnEdited);
}

void LimitedTextBox::OnEdited(const QString& edited) {
    const FittedText fitted = FitEdit(accepted_, edited, maxChars_);
    accepted_ = fitted.text;
    if (fitted.text == edited)
        return;
    const QSignalBlocker blocker(this);
    setText(fitted.text);
    setCursorPosition(static_cast<int>(fitted.cursor));
}

} // namespace forms
