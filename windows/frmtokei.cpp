#include "frmtokei.h"

#include <QCloseEvent>
#include <QPixmap>

#include "controls.h"
#include "fonts.h"
#include "msgbox.h"
#include "texts.h"
#include "units.h"

namespace windows {
namespace {

const QColor Lilac(0x80, 0x80, 0xFF);
const QColor PaleLilac(0xC0, 0xC0, 0xFF);
const QColor Yellow(0xFF, 0xFF, 0x00);
const QColor Orange(0xFF, 0x80, 0x00);
const QColor Red(0xFF, 0x00, 0x00);

} // namespace

FrmTokei::FrmTokei() : Form(FrmTokeiName, QStringLiteral("ルピカ時計"), 5700, 2580) {
    using runtime::Face;
    using runtime::MakeFont;
    setFont(MakeFont(Face::MsPGothic, 9));
    const QFont buttonFont = MakeFont(Face::MsPMincho, 9, true);

    // Created in tab order, which is also the focus chain.
    lbltokei = runtime::MakeLabel(this, QString(), {2520, 600, 2655, 495}, Lilac, Qt::black,
                                  MakeFont(Face::MsGothic, 24, true));
    lblDay = runtime::MakeLabel(this, QString(), {3480, 1320, 2055, 495}, Lilac, Qt::black,
                                MakeFont(Face::MsGothic, 11.25, true));
    Command1 = runtime::MakeButton(this, QStringLiteral("鈴"), {3960, 2040, 735, 375}, Lilac, buttonFont);
    Command2 = runtime::MakeButton(this, QStringLiteral("終"), {4800, 2040, 735, 375}, Lilac, buttonFont);
    Label1 = runtime::MakeLabel(this, QStringLiteral("鈴設定時刻"), {2640, 1920, 1215, 255}, PaleLilac, Qt::black,
                                buttonFont);
    txtJikoku = runtime::MakeTextBox(this, QString(), {2520, 2160, 1215, 270}, font());
    runtime::SetColours(txtJikoku, QColor(0x00, 0x00, 0xC0), PaleLilac);

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/tokei.gif")));
    Image1->setGeometry(runtime::TwipsRect(120, 0, 2250, 2595));

    // The two big labels lie beneath the stripes; Label1 and the picture lie above them.
    lbltokei->setAutoFillBackground(false);
    lblDay->setAutoFillBackground(false);
    const QColor windowText = palette().color(QPalette::WindowText);
    auto* lines = new runtime::LineLayer(this, {
                                                   {2520, 360, 3360, 360, Yellow, true},        // Line1(0)
                                                   {3360, 360, 4200, 360, Orange, false},       // Line2(0)
                                                   {4080, 360, 5040, 360, Red, false},          // Line3(0)
                                                   {3000, 1800, 3960, 1800, Red, false},        // Line3(1)
                                                   {3960, 1800, 4800, 1800, Orange, false},     // Line2(1)
                                                   {4800, 1800, 5640, 1800, Yellow, true},      // Line1(1)
                                                   {2640, 1920, 2640, 2160, windowText, false}, // Line4
                                               });
    lines->stackUnder(Label1);
    lbltokei->stackUnder(lines);
    lblDay->stackUnder(lines);
    Image1->raise();

    Timer1 = new runtime::TickTimer(
        100, [this] { Timer1_Timer(); }, this);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &FrmTokei::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmTokei::Command2_Click);
}

void FrmTokei::Load() {
    runtime::LoadForm(FrmSetName);
    Timer1->start();
}

void FrmTokei::Timer1_Timer() {
    lblDay->setText(runtime::ToQt(aramu::DateText(aramu::ReadDate())));
    lbltokei->setText(runtime::ToQt(aramu::TimeText(aramu::ReadTimeOfDay())));
    setWindowTitle(runtime::ToQt(aramu::CaptionText(aramu::ReadTimeOfDay())));

    // Ticks go on while the alarm box is open, keeping the clock running behind it, but one box
    // is enough.
    if (alarmBoxOpen_)
        return;
    if (ring_.RingNow(aramu::ReadDate(), aramu::ReadTimeOfDay())) {
        alarmBoxOpen_ = true;
        runtime::MsgBox(runtime::ToQt(aramu::AlarmMessage()), runtime::MsgStyle::OkSystemModal, BoxTitle);
        alarmBoxOpen_ = false;
    }
}

void FrmTokei::Command1_Click() {
    runtime::ShowForm(FrmSetName);
}

void FrmTokei::Command2_Click() {
    if (runtime::MsgBox(QStringLiteral("終了するがかまわねぇか？"), runtime::MsgStyle::OkCancelInformation,
                        QStringLiteral("終了確認")) != runtime::MsgAnswer::Ok)
        return;
    runtime::UnloadForm(FrmTokeiName);
    runtime::EndProgram();
}

void FrmTokei::closeEvent(QCloseEvent* event) {
    event->ignore();
    Command2_Click();
}

} // namespace windows
