#include "ticklabel.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace runtime {
namespace {

bool Whole(qreal x) {
    return std::abs(x - std::round(x)) < 1e-9;
}

// Read as a QLabel is: its accessible name if it was given one, else what it shows.
class AccessibleTickLabel : public QAccessibleWidget {
public:
    explicit AccessibleTickLabel(QWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const TickLabel*>(widget())->text();
        return QAccessibleWidget::text(which);
    }
};

QAccessibleInterface* AccessibleFor(const QString& key, QObject* object) {
    if (key == QLatin1String(TickLabel::staticMetaObject.className()) && object->isWidgetType())
        return new AccessibleTickLabel(static_cast<QWidget*>(object));
    return nullptr;
}

constexpr quint64 CellKey(char16_t before, char16_t at, char16_t after) {
    return quint64(before) << 32 | quint64(at) << 16 | after;
}

} // namespace

TickLabel::TickLabel(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(AccessibleFor), true);
    (void)accessible;
}

void TickLabel::setText(const QString& text) {
    if (text == text_)
        return;
    const QString before = std::exchange(text_, text);
    if (accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    if (before.size() != text.size() || !Fits(layout_, text))
        return update();
    qsizetype first = 0;
    while (before[first] == text[first])
        ++first;
    // From the cell before the first change, whose image may hold ink of the changed character; drawn
    // plainly, a character's ink may reach up to an em to its left.
    const qreal reach = layout_.cells ? layout_.advance : std::max(layout_.advance, layout_.placed.em);
    const int x = std::max(0, int(std::floor(layout_.placed.origin.x() + qreal(first) * layout_.advance - reach)));
    update(x, 0, width() - x, height());
}

qreal TickLabel::WidthOf(QChar c) {
    auto known = widths_.constFind(c.unicode());
    if (known == widths_.cend())
        known = widths_.insert(c.unicode(), QFontMetricsF(font(), this).horizontalAdvance(c));
    return *known;
}

// Whether `text` lies as the texts the layout was measured for: as long, and of characters as wide.
bool TickLabel::Fits(const Layout& layout, const QString& text) {
    if (layout.length != text.size() || layout.width <= 0 || layout.ratio != devicePixelRatioF())
        return false;
    return std::all_of(text.begin(), text.end(), [&](QChar c) {
        return !c.isSurrogate() && WidthOf(c) == layout.width && !(layout.cells && ReachOf(c.unicode()).farther);
    });
}

bool TickLabel::CellsPossible(const Layout& layout) const {
    // Copies land where drawing would only if every cell starts on a whole pixel, logical and device.
    const qreal r = layout.ratio;
    const QPoint at = mapTo(window(), QPoint());
    if (!Whole(layout.advance) || !Whole(layout.advance * r) || !Whole(layout.placed.origin.x()) ||
        !Whole(layout.placed.origin.x() * r) || !Whole(at.x() * r) || !Whole(at.y() * r))
        return false;
    return ground_.isValid();
}

const TickLabel::Layout& TickLabel::LayoutFor(const QString& text) {
    if (Fits(layout_, text))
        return layout_;
    if (layout_.ratio != devicePixelRatioF())
        widths_.clear();
    cells_.clear();
    reach_.clear();
    Layout layout;
    layout.length = text.size();
    layout.ratio = devicePixelRatioF();
    layout.placed = PlaceText(this, rect(), font(), Qt::AlignLeft | Qt::AlignTop,
                              QFontMetrics(font(), this).horizontalAdvance(text));
    layout.width = text.isEmpty() ? 0 : WidthOf(text[0]);
    if (!std::all_of(text.begin(), text.end(), [&](QChar c) { return !c.isSurrogate() && WidthOf(c) == layout.width; }))
        layout.width = 0;
    if (layout.width > 0)
        layout.advance = QFontMetricsF(layout.placed.face, this).horizontalAdvance(text[0]);

    // The cells are drawn over the colour beneath the label, which must be one colour and all there is.
    ground_ = QColor();
    const QWidget* under = autoFillBackground() ? this : parentWidget();
    if (under != nullptr && under->autoFillBackground()) {
        const QBrush brush = under->palette().brush(under->backgroundRole());
        bool covered = false;
        for (const QObject* sibling : under == this ? QObjectList() : under->children()) {
            if (sibling == this)
                break;
            const auto* widget = qobject_cast<const QWidget*>(sibling);
            covered =
                covered || (widget != nullptr && !widget->isHidden() && widget->geometry().intersects(geometry()));
        }
        if (brush.style() == Qt::SolidPattern && brush.color().alpha() == 255 && !covered)
            ground_ = brush.color();
    }
    layout_ = layout;
    layout_.cells = layout.width > 0 && CellsPossible(layout_);
    if (layout_.cells && !Fits(layout_, text)) // a character's ink reaches past its neighbour
        layout_.cells = false;
    return layout_;
}

QImage TickLabel::Blank(int cells) const {
    const qreal r = layout_.ratio;
    QImage image(qRound(cells * layout_.advance * r), int(std::ceil(height() * r)), format_);
    image.setDevicePixelRatio(r);
    // Faces set in points take their size from the device, which must be the label's.
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(ground_);
    return image;
}

const TickLabel::Reach& TickLabel::ReachOf(char16_t c) {
    auto known = reach_.constFind(c);
    if (known != reach_.cend())
        return *known;
    // Drawn alone in the middle of five cells: which of the others does its ink reach?
    QImage image = Blank(5);
    const QRgb blank = image.pixel(0, 0);
    {
        QPainter painter(&image);
        DrawPlaced(painter, layout_.placed, QPointF(2 * layout_.advance, layout_.placed.origin.y()), QString(QChar(c)),
                   palette().color(QPalette::WindowText));
    }
    const int cell = qRound(layout_.advance * layout_.ratio);
    bool inked[5] = {};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked[std::min(4, x / cell)] = inked[std::min(4, x / cell)] || image.pixel(x, y) != blank;
    return *reach_.insert(c, Reach{inked[1], inked[3], inked[0] || inked[4]});
}

const QImage& TickLabel::Cell(char16_t before, char16_t at, char16_t after) {
    const quint64 key = CellKey(before, at, after);
    auto known = cells_.constFind(key);
    if (known != cells_.cend())
        return *known;
    // The characters whose ink falls in the cell, drawn where they lie around it and in their order,
    // so the cell holds what drawing the whole line would put there.
    QString drawn;
    qreal start = 0;
    if (before != 0)
        drawn += QChar(before), start = -layout_.advance;
    if (at != 0)
        drawn += QChar(at);
    else if (before == 0)
        start = layout_.advance;
    if (after != 0)
        drawn += QChar(after);
    QImage image = Blank(1);
    {
        QPainter painter(&image);
        DrawPlaced(painter, layout_.placed, QPointF(start, layout_.placed.origin.y()), drawn,
                   palette().color(QPalette::WindowText));
    }
    return *cells_.insert(key, image);
}

void TickLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const Layout& layout = LayoutFor(text_);
    if (!layout.cells)
        return DrawPlaced(painter, layout.placed, layout.placed.origin, text_, palette().color(QPalette::WindowText));
    // Cells in the format of what they are copied onto, so that copying changes no pixel.
    const QPaintDevice* device = painter.paintEngine()->paintDevice();
    const QImage::Format format = device != nullptr && device->devType() == QInternal::Image
                                      ? static_cast<const QImage*>(device)->format()
                                      : QImage::Format_ARGB32_Premultiplied;
    if (format != format_) {
        format_ = format;
        cells_.clear();
        reach_.clear();
    }
    const int advance = qRound(layout.advance);
    const int left = qRound(layout.placed.origin.x());
    const qsizetype n = text_.size();
    // One cell either side of the text for ink that reaches beyond it.
    for (qsizetype i = -1; i <= n; ++i) {
        const QRect box(left + int(i) * advance, 0, advance, height());
        if (!box.intersects(event->rect()))
            continue;
        const auto ink = [&](qsizetype j, bool Reach::*side) {
            return j >= 0 && j < n && ReachOf(text_[j].unicode()).*side ? text_[j].unicode() : char16_t(0);
        };
        const char16_t at = i >= 0 && i < n ? text_[i].unicode() : 0;
        const char16_t before = ink(i - 1, &Reach::right), after = ink(i + 1, &Reach::left);
        if (at != 0 || before != 0 || after != 0)
            painter.drawImage(box.topLeft(), Cell(before, at, after));
    }
}

void TickLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange)
        Forget();
    QWidget::changeEvent(event);
}

void TickLabel::resizeEvent(QResizeEvent* event) {
    Forget();
    QWidget::resizeEvent(event);
}

void TickLabel::Forget() {
    layout_ = Layout();
    widths_.clear();
    reach_.clear();
    cells_.clear();
    update();
}

} // namespace runtime
