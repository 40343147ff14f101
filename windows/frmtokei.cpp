#include "frmtokei.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPixmap>

#include "controls.h"
#include "fonts.h"
#include "frmset.h"
#include "instances.h"
#include "msgbox.h"
#include "notify.h"
#include "systemtime.h"
#include "texts.h"
#include "ticktexts.h"
#include "units.h"
#include "x11.h"

namespace windows {

FrmTokei::FrmTokei() : Form(QStringLiteral("ルピカ時計"), 5700, 2580) {
    using runtime::Face;
    using runtime::MakeFont;
    setFont(MakeFont(Face::MsPGothic, 9));
    const QFont buttonFont = MakeFont(Face::MsPMincho, 9, true);

    // Created in tab order, which is also the focus chain.
    lbltokei = runtime::MakeTickLabel(this, "lbltokei", {2520, 600, 2655, 495}, Lilac, Qt::black,
                                      MakeFont(Face::MsGothic, 24, true));
    lblDay = runtime::MakeTickLabel(this, "lblDay", {3480, 1320, 2055, 495}, Lilac, Qt::black,
                                    MakeFont(Face::MsGothic, 11.25, true));
    Command1 = runtime::MakeButton(this, "Command1", QStringLiteral("鈴"), {3960, 2040, 735, 375}, Lilac, buttonFont);
    Command2 = runtime::MakeButton(this, "Command2", QStringLiteral("終"), {4800, 2040, 735, 375}, Lilac, buttonFont);
    Label1 = runtime::MakeLabel(this, "Label1", QStringLiteral("鈴設定時刻"), {2640, 1920, 1215, 255}, PaleLilac,
                                Qt::black, buttonFont);
    txtJikoku = runtime::MakeTextBox(this, "txtJikoku", QString(), {2520, 2160, 1215, 270}, font());
    runtime::SetColours(txtJikoku, QColor(0x00, 0x00, 0xC0), PaleLilac);

    Image1 = new QLabel(this);
    // Drawn twice as large for screens that scale by more than one, so the picture stays sharp.
    const bool fine = devicePixelRatioF() > 1;
    QPixmap picture(fine ? QStringLiteral(":/assets/tokei@2x.png") : QStringLiteral(":/assets/tokei.gif"));
    picture.setDevicePixelRatio(fine ? 2 : 1);
    Image1->setPixmap(picture);
    runtime::Place(Image1, "Image1", {120, 0, 2250, 2595});

    // The two big labels lie beneath the stripes; Label1 and the picture lie above them.
    lbltokei->setAutoFillBackground(false);
    lblDay->setAutoFillBackground(false);
    // Painted bottom first: the upper stripe, then the lower one from its red end, then Line4.
    std::vector<runtime::Line> lines = Stripe(2520, 360);
    lines.push_back({3000, 1800, 3960, 1800, Red, false});
    lines.push_back({3960, 1800, 4800, 1800, Orange, false});
    lines.push_back({4800, 1800, 5640, 1800, Yellow, true});
    lines.push_back({2640, 1920, 2640, 2160, palette().color(QPalette::WindowText), false});
    auto* layer = new runtime::LineLayer(this, std::move(lines));
    layer->stackUnder(Label1);
    lbltokei->stackUnder(layer);
    lblDay->stackUnder(layer);
    Image1->raise();

    Timer1 = new runtime::TickTimer([this] { Timer1_Timer(); }, this);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &FrmTokei::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmTokei::Command2_Click);
}

void FrmTokei::Load() {
    runtime::IgnoreOwnPropertyChanges(this); // the title changes every second
    frmSet().Load();
    Timer1->Start();
}

void FrmTokei::Timer1_Timer() {
    const aramu::ClockReading now = runtime::ProgramClock().Now();
    const aramu::LocaleFormats& formats = runtime::UserFormats();
    texts_.Update(now, formats);
    lblDay->setText(texts_.Date());
    lbltokei->setText(texts_.Time());
    setWindowTitle(texts_.Caption());

    // Ticks go on while the alarm box is open, keeping the clock running behind it, but one box
    // is enough.
    if (alarmBoxOpen_)
        return;
    if (ring_.RingNow(now)) {
        alarmBoxOpen_ = true;
        // Wayland lets no window stay on top, so the box may open unseen behind another.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            runtime::NotifyUrgent(BoxTitle, aramu::Alarm().AlarmMessage());
        runtime::MsgBox(aramu::Alarm().AlarmMessage(), runtime::MsgStyle::OkSystemModal, BoxTitle);
        alarmBoxOpen_ = false;
    }
}

void FrmTokei::Command1_Click() {
    frmSet().Show();
}

void FrmTokei::ShowAlarmTime(const QString& text) {
    txtJikoku->setText(text);
}

void FrmTokei::Command2_Click() {
    if (runtime::MsgBox(QStringLiteral("終了するがかまわねぇか？"), runtime::MsgStyle::OkCancelInformation,
                        QStringLiteral("終了確認")) != runtime::MsgAnswer::Ok)
        return;
    Unload();
    runtime::EndProgram();
}

void FrmTokei::closeEvent(QCloseEvent* event) {
    event->ignore();
    Command2_Click();
}

} // namespace windows
