// frmtokei.h - the main clock window: time, date, the alarm time, and the alarm itself
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/ringdecision.h"
#include "core/ticktexts.h"
#include "desktop/sound.h"
#include "desktop/ticktimer.h"
#include "forms/forms.h"
#include "forms/ticklabel.h"

namespace windows {

class FrmTokei : public forms::Form {
    Q_OBJECT
public:
    FrmTokei();

    void Load() override;
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();

    // The alarm-setting window reports a new alarm here.
    void ShowAlarmTime(const QString& text);

protected:
    // The title bar's close asks the same question as "終".
    void closeEvent(QCloseEvent* event) override;

private:
    void TellMissed(const QString& text);

    forms::TickLabel* lbltokei;
    forms::TickLabel* lblDay;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* txtJikoku;
    QLabel* Image1;
    desktop::TickTimer* Timer1;
    aramu::TickTexts texts_;

    aramu::RingDecision ring_{aramu::Alarm()};
    desktop::BoxSound* ringing_ = nullptr; // the open alarm box's
};

} // namespace windows
