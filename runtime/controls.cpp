#include "controls.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "units.h"

namespace runtime {
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

} // namespace

void Place(QWidget* control, const char* name, TwipsBox box) {
    control->setObjectName(QLatin1String(name));
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
    if (owner != nullptr && owner != window && owner->isVisible()) {
        window->move(owner->frameGeometry().center() - window->rect().center());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor text_colour, QColor back,
                  const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A click on a label belongs to the label, not to the window's background beneath it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    SetColours(label, text_colour, back);
    Place(label, name, box);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, TwipsBox box, QColor face,
                        const QFont& font) {
    auto* button = new QPushButton(text, parent);
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
}

void LineLayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (const Line& line : lines_) {
        painter.setCompositionMode(line.xorDrawn ? QPainter::RasterOp_SourceXorDestination
                                                 : QPainter::CompositionMode_SourceOver);
        painter.setPen(QPen(line.colour, 0));
        painter.drawLine(Twips(line.x1), Twips(line.y1), Twips(line.x2), Twips(line.y2));
    }
}

} // namespace runtime
