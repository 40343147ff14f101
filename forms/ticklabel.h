// ticklabel.h - a label for text that changes a character or two at a time, as a clock's does, cheaply
#pragma once

#include <QHash>
#include <QImage>
#include <QWidget>

#include <array>

#include "forms/textline.h"

namespace forms {

// Draws its text as DrawTextLine does, left and top, pixel for pixel, but a new text repaints only the
// characters that changed and what their ink reaches into (the neighbouring cells, or an em either side
// where the text is drawn plainly), and where every character is as wide as the next and that width is
// whole device pixels, each character is copied from an image of its cell made once. What it measured
// and drew is forgotten when its face, size, scale or colours change, or GroundChanged() says the
// parent's have. Screen readers read it as a label.
class TickLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit TickLabel(QWidget* parent);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // The colour beneath it, read from the parent once, has changed: the parent's palette sends the label
    // no event of its own, so the parent tells it (a Form does), rather than the label reading it again
    // every second.
    void GroundChanged() { Forget(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // How texts of one length lie, measured once rather than every second.
    struct Layout {
        qsizetype length = -1;
        qreal ratio = 0; // the device pixel ratio measured at
        qreal width = 0; // of one character in the face as set, or 0 where they differ
        PlacedText placed;
        qreal advance = 0; // of one character as placed (condensed perhaps)
        bool cells = false;
    };
    // Whose ink reaches into the next cell on either side; unknown characters are measured first.
    struct Reach {
        bool left = false, right = false, farther = false;
    };
    // What is known of a character: looked up for every character of every text, so the clock's own
    // characters are found without hashing.
    struct Known {
        qreal width = -1;
        bool reached = false;
        Reach reach;
    };

    const Layout& LayoutFor(const QString& text);
    Known& KnownOf(char16_t c) { return c < ascii_.size() ? ascii_[c] : known_[c]; }
    void ForgetReach();
    bool Fits(const Layout& layout, const QString& text);
    qreal WidthOf(QChar c);
    bool CellsPossible(const Layout& layout) const;
    const Reach& ReachOf(char16_t c);
    const QImage& Cell(char16_t before, char16_t at, char16_t after);
    QImage Blank(int cells) const;
    void Forget();

    QString text_;
    Layout layout_;
    bool fitted_ = false; // whether the text shown lies as the layout says
    std::array<Known, 128> ascii_;
    QHash<char16_t, Known> known_;
    QHash<quint64, QImage> cells_;
    QColor ground_; // what the cells are drawn over: the colour beneath the label
    QImage::Format format_ = QImage::Format_ARGB32_Premultiplied;
};

} // namespace forms
