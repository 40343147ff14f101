#include "forms/ticklabel.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {
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
    if (QAccessible::isActive() && accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    fitted_ = before.size() == text.size() && Fits(layout_, text);
    if (!fitted_)
        return update();
    qsizetype first = 0, last = text.size() - 1;
    while (before[first] == text[first])
        ++first;
    while (before[last] == text[last])
        --last;
    // The cells either side of the change hold ink of it only where a changed character's ink reaches
    // into them; drawn plainly, a character's ink may reach up to an em beyond its cell.
    qreal from = qreal(first), to = qreal(last + 1), margin = 0;
    if (layout_.cells) {
        const auto reaches = [&](qsizetype i, bool Reach::*side) {
            return ReachOf(before[i].unicode()).*side || ReachOf(text[i].unicode()).*side;
        };
        from -= reaches(first, &Reach::left) ? 1 : 0;
        to += reaches(last, &Reach::right) ? 1 : 0;
    } else {
        margin = layout_.placed.em;
    }
    const qreal x = layout_.placed.origin.x();
    const int left = int(std::floor(x + from * layout_.advance - margin));
    const int right = int(std::ceil(x + to * layout_.advance + margin));
    // Painted now rather than on the next pass of the event loop: the second is late enough.
    repaint(QRect(left, 0, right - left, height()) & rect());
}

void TickLabel::ForgetReach() {
    for (Known& known : ascii_)
        known.reached = false;
    for (Known& known : known_)
        known.reached = false;
}

qreal TickLabel::WidthOf(QChar c) {
    Known& known = KnownOf(c.unicode());
    if (known.width < 0)
        known.width = QFontMetricsF(font(), this).horizontalAdvance(c);
    return known.width;
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
    // The text shown was measured against the layout as it was set.
    if ((fitted_ && &text == &text_ && layout_.ratio == devicePixelRatioF()) || Fits(layout_, text))
        return layout_;
    if (layout_.ratio != devicePixelRatioF()) {
        ascii_.fill(Known());
        known_.clear();
    }
    cells_.clear();
    ForgetReach();
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
    Known& known = KnownOf(c);
    if (known.reached)
        return known.reach;
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
    known.reached = true;
    known.reach = Reach{inked[1], inked[3], inked[0] || inked[4]};
    return known.reach;
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
    const QRect area = event->rect();
    // Drawn from cells, the label paints every pixel of its own, so what lies beneath is not painted
    // first; the ground of the cells is that colour.
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    const Layout& layout = LayoutFor(text_);
    if (opaque != layout.cells)
        setAttribute(Qt::WA_OpaquePaintEvent, layout.cells);
    if (!layout.cells) {
        if (opaque && ground_.isValid())
            painter.fillRect(area, ground_);
        else if (opaque)
            update(); // beneath was not painted this time
        return DrawPlaced(painter, layout.placed, layout.placed.origin, text_, palette().color(QPalette::WindowText));
    }
    // Cells in the format of what they are copied onto, so that copying changes no pixel.
    const QPaintDevice* device = painter.paintEngine()->paintDevice();
    const QImage::Format format = device != nullptr && device->devType() == QInternal::Image
                                      ? static_cast<const QImage*>(device)->format()
                                      : QImage::Format_ARGB32_Premultiplied;
    if (format != format_) {
        format_ = format;
        cells_.clear();
        ForgetReach();
    }
    const QStringView text = text_;
    const int advance = qRound(layout.advance);
    const int left = qRound(layout.placed.origin.x());
    const qsizetype n = text.size();
    // The ground either side of the cells, and one cell either side of the text for ink reaching beyond it.
    const int start = left - advance, end = left + int(n + 1) * advance;
    for (const QRect ground : {QRect(0, 0, start, height()), QRect(end, 0, width() - end, height())})
        if (ground.intersects(area))
            painter.fillRect(ground & area, ground_);
    for (qsizetype i = -1; i <= n; ++i) {
        const QRect box(left + int(i) * advance, 0, advance, height());
        if (!box.intersects(area))
            continue;
        const auto ink = [&](qsizetype j, bool Reach::*side) {
            return j >= 0 && j < n && ReachOf(text[j].unicode()).*side ? text[j].unicode() : char16_t(0);
        };
        const char16_t at = i >= 0 && i < n ? text[i].unicode() : 0;
        const char16_t before = ink(i - 1, &Reach::right), after = ink(i + 1, &Reach::left);
        if (at != 0 || before != 0 || after != 0)
            painter.drawImage(box.topLeft(), Cell(before, at, after));
        else
            painter.fillRect(box, ground_);
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
    fitted_ = false;
    ascii_.fill(Known());
    known_.clear();
    cells_.clear();
    update();
}

} // namespace forms
