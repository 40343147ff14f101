// frmtokei.h - the main clock window: time, date, the alarm time, and the alarm itself
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "forms.h"
#include "ringdecision.h"
#include "ticklabel.h"
#include "ticktexts.h"
#include "ticktimer.h"

namespace windows {

class FrmTokei : public runtime::Form {
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
    runtime::TickLabel* lbltokei;
    runtime::TickLabel* lblDay;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label1;
    QLineEdit* txtJikoku;
    QLabel* Image1;
    runtime::TickTimer* Timer1;
    aramu::TickTexts texts_;

    aramu::RingDecision ring_{aramu::Alarm()};
    bool alarmBoxOpen_ = false;
};

} // namespace windows
