// textline.h - one line of plain text drawn the same whatever face serves and at any screen scale:
// never cut off, never lighter
#pragma once

#include <QLabel>
#include <QPushButton>

namespace forms {

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
