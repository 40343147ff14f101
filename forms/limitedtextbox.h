// limitedtextbox.h - a single-line text box limited to a number of characters as a person counts them
#pragma once

#include <QLineEdit>

namespace forms {

struct FittedText {
    QString text;
    qsizetype cursor;
};

// Characters as a person counts them: grapheme clusters, so a flag or an accented letter is one.
qsizetype CharCount(const QString& text);

// `edited` came from `before` by one edit (typing, pasting, an input-method commit, a deletion).
// Keeps as much of what the edit inserted as fits in `limit` characters, never half a character.
FittedText FitEdit(const QString& before, const QString& edited, qsizetype limit);

class LimitedTextBox : public QLineEdit {
    Q_OBJECT
public:
    LimitedTextBox(const QString& text, qsizetype maxChars, QWidget* parent);

private:
    void OnEdited(const QString& edited);

    qsizetype maxChars_;
    QString accepted_;
};

} // namespace forms
