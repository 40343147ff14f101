#include "windows/frmmsg.h"

#include <QApplication>
#include <QMouseEvent>

#include "core/alarmstate.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "windows/frmset.h"
#include "windows/instances.h"
#include "windows/shared.h"

namespace windows {

FrmMsg::FrmMsg() : Form(QStringLiteral("メッセージ設定"), 4500, 1215) {
    using forms::Face;
    using forms::MakeFont;
    const QFont mincho = MakeFont(Face::MsPMincho, 9);
    setFont(mincho);

    Label1 = forms::MakeLabel(this, "Label1", QStringLiteral("メッセージを設定してくれぃ！（２０文字以内なっ！）"),
                              {120, 120, 3975, 255}, PaleLilac, Qt::black, mincho);
    txtMessage = new forms::LimitedTextBox(QStringLiteral("スロット屋で勝負の時間でぃ！！"), 20, this);
    txtMessage->setFont(mincho);
    forms::Place(txtMessage, "txtMessage", {120, 600, 3375, 375});
    // The text box keeps the system's window colours rather than the window's black.
    txtMessage->setPalette(QApplication::palette(txtMessage));
    Command1 = forms::MakeButton(this, "Command1", QStringLiteral("決"), {3600, 720, 735, 375}, Lilac, ButtonFont());

    // Above Label1, beneath the text box and the button.
    SettingStripes(this, 1560, 360)->stackUnder(txtMessage);

    txtMessage->setFocus();
    // Opened from the alarm-setting window, which is active then: centred over it.
    CentreWhenShown(true);

    connect(Command1, &QPushButton::clicked, this, &FrmMsg::Command1_Click);
}

void FrmMsg::Command1_Click() {
    aramu::Alarm().SetAlarmMessage(txtMessage->text());
    Unload();
    frmSet().Show();
}

void FrmMsg::Form_Click() {
    txtMessage->setFocus();
    // What Home then Shift+End would do: the whole text selected, the caret at its end.
    txtMessage->home(false);
    txtMessage->end(true);
}

void FrmMsg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Form_Click();
    Form::mousePressEvent(event);
}

} // namespace windows
