// textline.h - one line of plain text drawn the same whatever face serves and at any screen scale:
// never cut off, never lighter
#pragma once

#include <QLabel>
#include <QPushButton>

namespace forms {

// Where a line of text sits in its box and in what face: condensed if it would not fit, and
// bold that FreeType makes up drawn as a widened outline on scaled screens.
struct PlacedText {
    QFont face;
    QPointF origin; // the start of the baseline
    qreal em = 0;   // in pixels
    bool outlined = false;
};

// `wanted` is the text's width in `face` on `on`, which the caller may know without measuring.
PlacedText PlaceText(const QWidget* on, QRect box, QFont face, Qt::Alignment alignment, int wanted);
// Draws `text` as placed, starting at `origin` (the placement's own, or further along the line).
void DrawPlaced(QPainter& painter, const PlacedText& placed, QPointF origin, const QString& text, QColor colour);

// Draws `text` in `box` at its alignment (left or centred across, top or centred down).
void DrawTextLine(QPainter& painter, const QWidget* on, QRect box, const QString& text, QFont face, QColor colour,
                  Qt::Alignment alignment);

// A label whose text is drawn by DrawTextLine at the label's alignment.
class TextLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button whose caption is drawn by DrawTextLine, centred, in the button's text colour.
class FaceButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace forms
