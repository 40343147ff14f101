#include "windows/frmset.h"

#include <QLineEdit>

#include <limits>

#include "core/alarmstate.h"
#include "desktop/power.h"
#include "desktop/sound.h"
#include "desktop/systemtime.h"
#include "desktop/userlocale.h"
#include "forms/controls.h"
#include "forms/fonts.h"
#include "forms/msgbox.h"
#include "windows/frmmsg.h"
#include "windows/frmtokei.h"
#include "windows/instances.h"
#include "windows/shared.h"

namespace windows {
namespace {

QComboBox* MakeCombo(QWidget* parent, const char* name, forms::TwipsBox box, const QStringList& entries) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // No completion from the list: a typed "5" must stay 5 minutes, not turn into "50".
    combo->setCompleter(nullptr);
    // The text is read only when 決 is pressed, so a paste of any length is kept whole: cut at the
    // field's usual 32,767 characters it would silently become another number.
    combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    combo->setFont(forms::MakeFont(forms::Face::MsPGothic, 9));
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    forms::SetColours(combo, PaleLilac, Qt::black);
    // The field's edge is drawn from the window colour, which black would hide: an empty field would
    // show nothing but its arrow. A light grey gives it the edge a field has on any window.
    QPalette edge = combo->palette();
    edge.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    combo->setPalette(edge);
    combo->setAutoFillBackground(false);
    combo->view(); // the list exists from here on, and takes the control's style with the rest
    forms::Place(combo, name, box);
    return combo;
}

QStringList HourEntries() {
    QStringList hours;
    for (int h = 1; h <= 23; ++h)
        hours << QString::number(h);
    hours << QStringLiteral("0"); // midnight's hour comes last
    return hours;
}

QStringList MinuteEntries() {
    QStringList minutes;
    for (int m = 0; m < 60; m += 5)
        minutes << QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
    return minutes;
}

QString RefusalText(const aramu::AlarmTimeError& error) {
    return error.reason == aramu::AlarmTimeError::Reason::NotANumber
               ? QStringLiteral("てやんでぃ！数字をいれやがれぃ！")
               : QStringLiteral("てやんでぃ！0時0分から23時59分までにしやがれぃ！");
}

void Refuse(const QString& text) {
    desktop::BoxSound sound(desktop::BoxSound::Warning);
    forms::MsgBox(text, forms::MsgStyle::OkOnly, BoxTitle, &sound);
}

} // namespace

FrmSet::FrmSet() : Form(QStringLiteral("アラーム設定"), 4500, 1215) {
    using forms::Face;
    using forms::MakeFont;
    setFont(MakeFont(Face::MsPMincho, 9));
    const QFont buttonFont = ButtonFont();
    const QFont unitFont = MakeFont(Face::MsPMincho, 9.75);

    Label1 = forms::MakeLabel(this, "Label1", QStringLiteral("アラーム時刻を設定してくれぃ！"), {120, 120, 2655, 255},
                              PaleLilac, Qt::black, font());
    Command1 = forms::MakeButton(this, "Command1", QStringLiteral("決"), {3720, 720, 735, 375}, Lilac, buttonFont);
    Combo1 = MakeCombo(this, "Combo1", {600, 600, 615, 300}, HourEntries());
    Combo2 = MakeCombo(this, "Combo2", {1800, 600, 615, 300}, MinuteEntries());
    Label2 =
        forms::MakeLabel(this, "Label2", QStringLiteral("時"), {1320, 600, 375, 255}, PaleLilac, Qt::black, unitFont);
    Label3 =
        forms::MakeLabel(this, "Label3", QStringLiteral("分"), {2520, 600, 375, 255}, PaleLilac, Qt::black, unitFont);
    Command2 = forms::MakeButton(this, "Command2", QStringLiteral("文"), {2880, 720, 735, 375}, Lilac, buttonFont);

    SettingStripes(this, 1800, 480)->lower();

    Command1->setFocus(); // so that Enter at once confirms
    CentreWhenShown(false);

    connect(Command1, &QPushButton::clicked, this, &FrmSet::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmSet::Command2_Click);
}

void FrmSet::Command1_Click() {
    const QString hour = Combo1->currentText();
    const QString minute = Combo2->currentText();
    if (hour.isEmpty() || minute.isEmpty()) {
        Refuse(QStringLiteral("てやんでぃ！時間をいれやがれぃ！"));
        Combo1->setEditText(QStringLiteral("0"));
        Combo2->setEditText(QStringLiteral("0"));
        return;
    }
    const aramu::LocaleFormats& formats = desktop::UserFormats();
    if (const auto error = aramu::Alarm().SetAlarmTime(hour, minute, formats)) {
        Refuse(RefusalText(*error));
        return;
    }
    Unload();
    FrmTokei& tokei = frmTokei().Show();
    tokei.ShowAlarmTime(aramu::Alarm().AlarmTimeText(formats));
    // An idle machine would suspend itself and sleep through the alarm.
    desktop::ProgramPower().HoldAndWakeFor(aramu::Alarm().AlarmTime(), &tokei);
}

void FrmSet::Command2_Click() {
    frmMsg().Load();
    frmMsg().Show();
}

} // namespace windows
