#include "limitedtextbox.h"

#include <QSignalBlocker>

#include <algorithm>

namespace runtime {
namespace {

// Index just past the first `chars` characters of text[from...].
qsizetype AdvanceChars(const QString& text, qsizetype from, qsizetype chars) {
    qsizetype i = from;
    while (chars > 0 && i < text.size()) {
        i += (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        --chars;
    }
    return i;
}

} // namespace

qsizetype CharCount(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i = AdvanceChars(text, i, 1))
        ++count;
    return count;
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
    // Never split a surrogate pair between the kept and the inserted part.
    if (prefix > 0 && edited[prefix - 1].isHighSurrogate())
        --prefix;
    if (suffix > 0 && edited[edited.size() - suffix].isLowSurrogate())
        --suffix;

    const QString head = edited.left(prefix);
    const QString tail = edited.right(suffix);
    const QString inserted = edited.mid(prefix, edited.size() - prefix - suffix);
    const qsizetype room = std::max<qsizetype>(0, limit - CharCount(head) - CharCount(tail));
    const QString kept = inserted.left(AdvanceChars(inserted, 0, room));
    QString text = head + kept + tail;
    // Text that was already too long is cut at the end rather than kept over the limit.
    text.truncate(AdvanceChars(text, 0, limit));
    return {text, std::min(head.size() + kept.size(), text.size())};
}

LimitedTextBox::LimitedTextBox(const QString& text, qsizetype maxChars, QWidget* parent)
    : QLineEdit(parent), maxChars_(maxChars) {
    setText(FitEdit(QString(), text, maxChars).text);
    accepted_ = this->text();
    connect(this, &QLineEdit::textChanged, this, &LimitedTextBox::onEdited);
}

void LimitedTextBox::onEdited(const QString& edited) {
    const FittedText fitted = FitEdit(accepted_, edited, maxChars_);
    accepted_ = fitted.text;
    if (fitted.text == edited)
        return;
    const QSignalBlocker blocker(this);
    setText(fitted.text);
    setCursorPosition(static_cast<int>(fitted.cursor));
}

} // namespace runtime
