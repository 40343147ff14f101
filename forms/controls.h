// controls.h - the controls the windows are built from, placed and coloured from twips and RGB
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <vector>

#include "forms/ticklabel.h"

namespace forms {

struct TwipsBox {
    int left, top, width, height;
};

// Controls carry the names of the layout tables, which is also how tests find them.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor text_colour, QColor back,
                  const QFont& font);
// A label whose text changes every second, repainted where it changed only.
TickLabel* MakeTickLabel(QWidget* parent, const char* name, TwipsBox box, QColor text_colour, QColor back,
                         const QFont& font);
// A push button with the given face colour; Enter presses it while it has the focus.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor face,
                        const QFont& font);
QLineEdit* MakeTextBox(QWidget* parent, const char* name, const QString& text, TwipsBox box, const QFont& font);
void Place(QWidget* control, const char* name, TwipsBox box);
void SetColours(QWidget* control, QColor text, QColor back);

// Centres a window over another window, or on the screen when there is none, frame included.
void CentreOver(QWidget* window, const QWidget* owner);

// A one-pixel line in twips; xorDrawn lines are combined with what lies beneath by XOR.
struct Line {
    int x1, y1, x2, y2;
    QColor colour;
    bool xorDrawn = false;
};

// Draws lines over the window's background and over any sibling it is raised above, without
// taking clicks. Lines are drawn in the order given, so a later line covers an earlier one.
class LineLayer : public QWidget {
    Q_OBJECT
public:
    LineLayer(QWidget* parent, std::vector<Line> lines);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Line> lines_;
};

} // namespace forms
