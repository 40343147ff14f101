#include "frmmsg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "aramu.h"
#include "controls.h"
#include "fonts.h"
#include "sendkeys.h"
#include "texts.h"
#include "units.h"

namespace windows {

FrmMsg::FrmMsg() : Form(FrmMsgName, QStringLiteral("メッセージ設定"), 4500, 1215) {
    using runtime::Face;
    using runtime::MakeFont;
    const QFont mincho = MakeFont(Face::MsPMincho, 9);
    setFont(mincho);

    Label1 = runtime::MakeLabel(this, QStringLiteral("メッセージを設定してくれぃ！（２０文字以内なっ！）"),
                                {120, 120, 3975, 255}, QColor(0xC0, 0xC0, 0xFF), Qt::black, mincho);
    txtMessage = new runtime::LimitedTextBox(QStringLiteral("スロット屋で勝負の時間でぃ！！"), 20, this);
    txtMessage->setFont(mincho);
    txtMessage->setGeometry(runtime::TwipsRect(120, 600, 3375, 375));
    // The text box keeps the system's window colours rather than the window's black.
    txtMessage->setPalette(QApplication::palette(txtMessage));
    Command1 = runtime::MakeButton(this, QStringLiteral("決"), {3600, 720, 735, 375}, QColor(0x80, 0x80, 0xFF),
                                   MakeFont(Face::MsPMincho, 9, true));

    const QColor yellow(0xFF, 0xFF, 0x00), orange(0xFF, 0x80, 0x00), red(0xFF, 0x00, 0x00);
    auto* lines = new runtime::LineLayer(this, {
                                                   {1560, 360, 2400, 360, yellow, true},
                                                   {2400, 360, 3240, 360, orange, false},
                                                   {3120, 360, 4080, 360, red, false},
                                                   {240, 1080, 1080, 1080, yellow, true},
                                                   {1080, 1080, 1920, 1080, orange, false},
                                                   {1800, 1080, 2760, 1080, red, false},
                                               });
    lines->stackUnder(txtMessage); // above Label1, beneath the text box and the button

    txtMessage->setFocus();
    // Opened from the alarm-setting window, which is active then: centre over it.
    const QWidget* owner = QApplication::activeWindow();
    if (owner != nullptr && owner != this)
        move(owner->frameGeometry().center() - rect().center());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(Command1, &QPushButton::clicked, this, &FrmMsg::Command1_Click);
}

void FrmMsg::Command1_Click() {
    aramu::SetAlarmMessage(runtime::FromQt(txtMessage->text()));
    runtime::UnloadForm(FrmMsgName);
    runtime::ShowForm(FrmSetName);
}

void FrmMsg::Form_Click() {
    txtMessage->setFocus();
    runtime::SendKeys(QStringLiteral("{home}+{end}"));
}

void FrmMsg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Form_Click();
    Form::mousePressEvent(event);
}

} // namespace windows
