#include "windows/frmtokei.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>

#include "core/ticktexts.h"
#include "desktop/identity.h"
#include "desktop/notify.h"
#include "desktop/power.h"
#include "desktop/said.h"
#include "desktop/sound.h"
#include "desktop/systemtime.h"
#include "desktop/userlocale.h"
#include "desktop/x11.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/msgbox.h"
#include "forms/units.h"
#include "windows/frmset.h"
#include "windows/instances.h"
#include "windows/shared.h"

namespace windows {

FrmTokei::FrmTokei() : Form(QStringLiteral("ルピカ時計"), 5700, 2580) {
    using forms::Face;
    using forms::MakeFont;
    setFont(MakeFont(Face::MsPGothic, 9));
    const QFont buttonFont = ButtonFont();

    // Created in tab order, which is also the focus chain.
    lbltokei = forms::MakeTickLabel(this, "lbltokei", {2520, 600, 2655, 495}, Lilac, Qt::black,
                                    MakeFont(Face::MsGothic, 24, true));
    lblDay = forms::MakeTickLabel(this, "lblDay", {3480, 1320, 2055, 495}, Lilac, Qt::black,
                                  MakeFont(Face::MsGothic, 11.25, true));
    Command1 = forms::MakeButton(this, "Command1", QStringLiteral("鈴"), {3960, 2040, 735, 375}, Lilac, buttonFont);
    Command2 = forms::MakeButton(this, "Command2", QStringLiteral("終"), {4800, 2040, 735, 375}, Lilac, buttonFont);
    Label1 = forms::MakeLabel(this, "Label1", QStringLiteral("鈴設定時刻"), {2640, 1920, 1215, 255}, PaleLilac,
                              Qt::black, buttonFont);
    txtJikoku = forms::MakeTextBox(this, "txtJikoku", QString(), {2520, 2160, 1215, 270}, font());
    forms::SetColours(txtJikoku, QColor(0x00, 0x00, 0xC0), PaleLilac);

    Image1 = new QLabel(this);
    // Drawn twice as large for screens that scale by more than one, so the picture stays sharp.
    const bool fine = devicePixelRatioF() > 1;
    QPixmap picture(fine ? QStringLiteral(":/assets/tokei@2x.png") : QStringLiteral(":/assets/tokei.gif"));
    picture.setDevicePixelRatio(fine ? 2 : 1);
    Image1->setPixmap(picture);
    forms::Place(Image1, "Image1", {120, 0, 2250, 2595});

    // The two big labels lie beneath the stripes; Label1 and the picture lie above them.
    lbltokei->setAutoFillBackground(false);
    lblDay->setAutoFillBackground(false);
    // Painted bottom first: the upper stripe, then the lower one from its red end, then Line4.
    std::vector<forms::Line> lines = Stripe(2520, 360);
    lines.push_back({3000, 1800, 3960, 1800, Red, false});
    lines.push_back({3960, 1800, 4800, 1800, Orange, false});
    lines.push_back({4800, 1800, 5640, 1800, Yellow, true});
    lines.push_back({2640, 1920, 2640, 2160, palette().color(QPalette::WindowText), false});
    auto* layer = new forms::LineLayer(this, std::move(lines));
    layer->stackUnder(Label1);
    lbltokei->stackUnder(layer);
    lblDay->stackUnder(layer);
    Image1->raise();

    Timer1 = new desktop::TickTimer([this] { Timer1_Timer(); }, this);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &FrmTokei::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmTokei::Command2_Click);
}

void FrmTokei::Load() {
    desktop::IgnoreOwnPropertyChanges(this); // the title changes every second
    frmSet().Load();
    Timer1->Start();
}

void FrmTokei::Timer1_Timer() {
    const aramu::ClockReading now = desktop::ProgramClock().Now();
    const aramu::LocaleFormats& formats = desktop::UserFormats();
    texts_.Update(now, formats);
    lblDay->setText(texts_.Date());
    lbltokei->setText(texts_.Time());
    setWindowTitle(texts_.Caption());

    // The ring rule hears every tick, those behind the open alarm box too, so that it never decides from a
    // stale one.
    const aramu::Ring ring = ring_.RingNow(now);
    const aramu::AlarmState& alarm = aramu::Alarm();
    if (ring != aramu::Ring::Quiet) // the wake was for this ring alone
        desktop::ProgramPower().WakeForNextRing();
    if (ring == aramu::Ring::MissedAsleep || ring == aramu::Ring::MissedAwake)
        TellMissed(aramu::MissedAlarmText(alarm.AlarmTime(), alarm.AlarmMessage(), ring == aramu::Ring::MissedAsleep));
    if (ring != aramu::Ring::Now)
        return;
    // Wayland lets no window stay on top, so the box may be unseen behind another.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        desktop::Notify(BoxTitle, alarm.AlarmMessage(), desktop::Urgency::Critical);
    // One box is enough: the moment come again while it is open (the next day, say) rings it again.
    if (ringing_ != nullptr) {
        ringing_->RingAgain();
        return;
    }
    desktop::BoxSound sound(desktop::BoxSound::Alarm);
    ringing_ = &sound;
    forms::MsgBox(alarm.AlarmMessage(), forms::MsgStyle::OkSystemModal, BoxTitle, &sound);
    ringing_ = nullptr;
}

// Through the desktop's notifications; where none can be reached, a box of our own and a line on stderr,
// so that a missed alarm never goes untold.
void FrmTokei::TellMissed(const QString& text) {
    const QString name = desktop::ProgramIdentity().name;
    desktop::Notify(name, text, desktop::Urgency::Normal, [text, name](const QString& why) {
        qCWarning(desktop::Said, "%s (no desktop notification: %s; a box tells it)",
                  qUtf8Printable(text.section(QLatin1Char('\n'), 0, 0)), qUtf8Printable(why));
        forms::MsgBox(text, forms::MsgStyle::OkInformation, name);
    });
}

void FrmTokei::Command1_Click() {
    frmSet().Show();
}

void FrmTokei::ShowAlarmTime(const QString& text) {
    txtJikoku->setText(text);
}

void FrmTokei::Command2_Click() {
    desktop::BoxSound sound(desktop::BoxSound::Information);
    if (forms::MsgBox(QStringLiteral("終了するがかまわねぇか？"), forms::MsgStyle::OkCancelInformation,
                      QStringLiteral("終了確認"), &sound) != forms::MsgAnswer::Ok)
        return;
    Unload();
    forms::EndProgram();
}

void FrmTokei::closeEvent(QCloseEvent* event) {
    event->ignore();
    Command2_Click();
}

} // namespace windows
