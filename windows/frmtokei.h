// frmtokei.h - the main clock window: time, date, the alarm time, and the alarm itself
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/ringdecision.h"
#include "desktop/sound.h"
#include "desktop/ticktimer.h"
#include "forms/forms.h"

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
    QLabel* lbltokei;
    QLabel* lblDay;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* txtJikoku;
    QLabel* Image1;
    desktop::TickTimer* Timer1;

    aramu::RingDecision ring_{aramu::Alarm()};
    desktop::BoxSound* ringing_ = nullptr; // the open alarm box's
};

} // namespace windows
