#include "forms/textline.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

namespace forms {
namespace {

// Where Japanese faces keep the baseline, below the top of the em. Substitutes declare ascents of their
// own, and the tall ones (Noto CJK) would push the text down and cut it off.
constexpr qreal BaselineEm = 0.88;
// What FreeType's synthetic bold widens a stroke by at 1x; Qt loses it on scaled screens.
constexpr qreal SyntheticBoldEm = 1.0 / 24;

// Bold that the face does not have and FreeType makes up (the IPA faces have none of their own).
bool SyntheticBold(const QFont& face) {
    const QFontInfo matched(face);
    return face.bold() && QFontDatabase::weight(matched.family(), matched.styleName()) < QFont::Bold;
}

} // namespace

PlacedText PlaceText(const QWidget* on, QRect box, QFont face, Qt::Alignment alignment, int wanted) {
    // The em in pixels as the face is set, whether in points or in pixels.
    const qreal em = QFontInfo(face).pixelSize();
    // A face wider than the one asked for (a monospaced CJK substitute) is condensed to fit, never cut.
    if (wanted > box.width())
        face.setStretch(std::max(1, 100 * box.width() / wanted));
    const qreal left =
        alignment & Qt::AlignHCenter ? box.left() + (box.width() - std::min(wanted, box.width())) / 2.0 : box.left();
    const qreal top = alignment & Qt::AlignVCenter ? box.top() + (box.height() - em) / 2.0 : box.top();
    const bool outlined = on->devicePixelRatioF() > 1 && SyntheticBold(face);
    return {face, QPointF(left, std::round(top + em * BaselineEm)), em, outlined};
}

void DrawPlaced(QPainter& painter, const PlacedText& placed, QPointF origin, const QString& text, QColor colour) {
    if (placed.outlined) {
        // Drawn as an outline widened by what FreeType adds at 1x, so the text stays as heavy as there.
        QFont face = placed.face;
        face.setBold(false);
        QPainterPath path;
        path.addText(origin, face, text);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(path, QPen(colour, placed.em * SyntheticBoldEm, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, colour);
        return;
    }
    painter.setFont(placed.face);
    painter.setPen(colour);
    painter.drawText(origin, text);
}

void DrawTextLine(QPainter& painter, const QWidget* on, QRect box, const QString& text, QFont face, QColor colour,
                  Qt::Alignment alignment) {
    const PlacedText placed = PlaceText(on, box, face, alignment, QFontMetrics(face, on).horizontalAdvance(text));
    DrawPlaced(painter, placed, placed.origin, text, colour);
}

void TextLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawTextLine(painter, this, rect(), text(), font(), palette().color(QPalette::WindowText), alignment());
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    DrawTextLine(painter, this, rect(), text(), font(), palette().color(QPalette::ButtonText), Qt::AlignCenter);
}

} // namespace forms
