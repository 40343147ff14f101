// frmset.h - the alarm-setting window: hour and minute drop-downs, and the way to the message
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "forms/forms.h"

namespace windows {

class FrmSet : public forms::Form {
    Q_OBJECT
public:
    FrmSet();

    void Command1_Click();
    void Command2_Click();

private:
    QLabel* Label1;
    QPushButton* Command1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command2;
};

} // namespace windows
