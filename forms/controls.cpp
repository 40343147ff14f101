#include "forms/controls.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "forms/textline.h"
#include "forms/units.h"

namespace forms {
namespace {

// Qt buttons outside dialogs ignore Enter; here Enter presses the focused button, and only that.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                static_cast<QPushButton*>(watched)->animateClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Qt gives every widget with colours of its own a palette of its own, with a cache key of its own, and
// Fusion names the pictures it caches of a field by that key: each new setting window drew its fields
// anew, and the pixmap cache kept the pictures of every closed one until it was full. Here equal
// palettes are drawn as one, so a window loaded again finds its fields' pictures already cached.
class SharedPalettesStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        Shared shared(*this, option);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        Shared shared(*this, option);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        Shared shared(*this, option);
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

private:
    // The option's palette swapped for the one shared by its equals while it is drawn. Options are the
    // caller's own copies, made for this one call.
    class Shared {
    public:
        Shared(const SharedPalettesStyle& style, const QStyleOption* option)
            : option_(const_cast<QStyleOption*>(option)), own_(option_->palette) {
            QPalette shared = style.SharedLike(own_);
            shared.setCurrentColorGroup(own_.currentColorGroup());
            option_->palette = shared;
        }
        ~Shared() { option_->palette = own_; }
        Shared(const Shared&) = delete;
        Shared& operator=(const Shared&) = delete;

    private:
        QStyleOption* option_;
        QPalette own_;
    };

    const QPalette& SharedLike(const QPalette& palette) const {
        for (const QPalette& known : palettes_)
            if (known == palette)
                return known;
        // A handful are in use at once; a change of the desktop's colours brings a few new ones.
        if (palettes_.size() == 32)
            palettes_.pop_front();
        return palettes_.emplace_back(palette);
    }

    mutable std::deque<QPalette> palettes_;
};

QRect Area(const Line& line) {
    // One logical pixel wide at any scale, and the end point is not drawn, so lines that meet
    // end to end never overlap.
    const QPoint from(Twips(std::min(line.x1, line.x2)), Twips(std::min(line.y1, line.y2)));
    const QSize size(std::max(1, Twips(std::abs(line.x2 - line.x1))), std::max(1, Twips(std::abs(line.y2 - line.y1))));
    return QRect(from, size);
}

} // namespace

void Place(QWidget* control, const char* name, TwipsBox box) {
    control->setObjectName(QLatin1String(name));
    // Some styles (Adwaita) draw fields in their own colours, which vanish on the windows' black; the
    // windows' own controls keep one style that honours their colours, inner parts and lists included.
    // It comes before the geometry, from which a combo box lays out its text field.
    static QStyle* const style = new SharedPalettesStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    control->setStyle(style);
    for (QWidget* part : control->findChildren<QWidget*>()) {
        part->setStyle(style);
        // What the user's style left behind (Adwaita's margins hide a combo box's two digits).
        if (auto* edit = qobject_cast<QLineEdit*>(part))
            edit->setTextMargins(QMargins());
    }
    control->setGeometry(TwipsRect(box.left, box.top, box.width, box.height));
}

void SetColours(QWidget* control, QColor text, QColor back) {
    QPalette p = control->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, back);
    control->setPalette(p);
    control->setAutoFillBackground(true);
}

void CentreOver(QWidget* window, const QWidget* owner) {
    // move() places the frame, which a window not yet shown does not have: one already on screen
    // lends its frame, so that the window a person sees is centred, title bar and all.
    QMargins frame;
    for (const QWidget* shown : QApplication::topLevelWidgets())
        if (shown != window && shown->isVisible() && shown->windowHandle() && frame.isNull())
            frame = shown->windowHandle()->frameMargins();
    const QSize outer = window->size().grownBy(frame);
    QRect area;
    if (owner != nullptr && owner != window && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    window->move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

namespace {

// What every label has, whatever draws its text.
void Dress(QWidget* label, const char* name, TwipsBox box, QColor text_colour, QColor back, const QFont& font) {
    label->setFont(font);
    // A click on a label belongs to the label, not to the window's background beneath it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    SetColours(label, text_colour, back);
    Place(label, name, box);
}

} // namespace

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor text_colour, QColor back,
                  const QFont& font) {
    auto* label = new TextLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Dress(label, name, box, text_colour, back, font);
    return label;
}

TickLabel* MakeTickLabel(QWidget* parent, const char* name, TwipsBox box, QColor text_colour, QColor back,
                         const QFont& font) {
    auto* label = new TickLabel(parent);
    Dress(label, name, box, text_colour, back, font);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor face,
                        const QFont& font) {
    auto* button = new FaceButton(text, parent);
    button->setFont(font);
    button->setAutoDefault(false);
    // A flat face of exactly the given colour, as the styles would otherwise shade it; the sheet
    // is the button's own and reaches nothing else.
    const QString faceName = face.name();
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black; border: 2px outset %2; }"
                                         "QPushButton:pressed { border-style: inset; }"
                                         "QPushButton:focus { border: 2px solid white; }")
                              .arg(faceName, face.darker(140).name()));
    button->installEventFilter(new EnterPressesButton(button));
    Place(button, name, box);
    return button;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name, const QString& text, TwipsBox box, const QFont& font) {
    auto* edit = new QLineEdit(text, parent);
    edit->setFont(font);
    Place(edit, name, box);
    return edit;
}

LineLayer::LineLayer(QWidget* parent, std::vector<Line> lines) : QWidget(parent), lines_(std::move(lines)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(parent->rect());
    // Only where the lines are: a repaint elsewhere beneath, each second's digits, passes the layer by.
    QRegion where;
    for (const Line& line : lines_)
        where += Area(line);
    setMask(where);
}

void LineLayer::paintEvent(QPaintEvent* event) {
    // The layer spans the window, so it is asked to paint wherever anything beneath it changes,
    // the clock's digits each second, where there is seldom a line.
    if (std::none_of(lines_.begin(), lines_.end(),
                     [&](const Line& line) { return event->region().intersects(Area(line)); }))
        return;
    QPainter painter(this);
    for (const Line& line : lines_) {
        painter.setCompositionMode(line.xorDrawn ? QPainter::RasterOp_SourceXorDestination
                                                 : QPainter::CompositionMode_SourceOver);
        painter.fillRect(Area(line), line.colour);
    }
}

} // namespace forms
