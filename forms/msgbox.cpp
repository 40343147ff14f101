#include "forms/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "core/soundrules.h"
#include "desktop/sound.h"
#include "desktop/x11.h"

namespace forms {
namespace {

// A box that must be seen asks for the window manager's attention whenever another window takes the focus
// from it (Qt withdraws the request when the box is activated): the taskbar then shows it even behind a
// full-screen window that stays above it.
class AskAttention : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowDeactivate)
            if (QWindow* window = static_cast<QWidget*>(watched)->windowHandle())
                window->alert(0);
        return false;
    }
};

std::function<MsgAnswer(const MsgBoxCall&)>& Answerer() {
    static std::function<MsgAnswer(const MsgBoxCall&)> answerer;
    return answerer;
}

} // namespace

void SetMsgBoxAnswerer(std::function<MsgAnswer(const MsgBoxCall&)> answerer) {
    Answerer() = std::move(answerer);
}

MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title, BoxSound* sound) {
    if (Answerer())
        return Answerer()(MsgBoxCall{prompt, style, title, sound});

    const bool systemModal = style == MsgStyle::OkSystemModal;
    // The box takes the application's palette and font, never a window's black styling.
    QMessageBox box(systemModal ? nullptr : QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    const bool informs = style == MsgStyle::OkCancelInformation || style == MsgStyle::OkInformation;
    box.setIcon(informs ? QMessageBox::Information : QMessageBox::NoIcon);
    // The buttons name themselves: Qt's Japanese texts come in a package that may not be installed.
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText(QStringLiteral("OK"));
    if (style == MsgStyle::OkCancelInformation)
        box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    else
        box.setEscapeButton(ok); // a lone OK box closes by Esc or its close box as OK
    box.setDefaultButton(ok);
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        // On another workspace, or behind a full-screen window that will not be covered, the box is
        // unseen: the taskbar flashes for it.
        QTimer::singleShot(0, &box, [&box] { QApplication::alert(&box); });
        box.installEventFilter(new AskAttention(&box));
        // Asking is not enough while the alarm rings: a full-screen window that takes the focus covers even a
        // box kept on top, and no task bar shows there. With each bell a covered box is brought forward again,
        // as a click on a task bar would. Over an ordinary window with the focus it stays as it was, on top.
        if (sound != nullptr && sound->SoundKind() == BoxSound::Alarm) {
            auto* reach = new QTimer(&box);
            QObject::connect(reach, &QTimer::timeout, &box, [&box, sound] {
                if (sound->Ringing() && desktop::CoveredByActive(&box))
                    desktop::ActivateAsPager(&box);
            });
            reach->start(aramu::BellEvery);
        }
    }
    if (sound != nullptr)
        sound->Start(&box);
    box.exec();
    if (sound != nullptr)
        sound->Stop();
    return box.clickedButton() == ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

} // namespace forms
