// frmmsg.h - the message window: the text the alarm box will show
#pragma once

#include <QLabel>
#include <QPushButton>

#include "forms/forms.h"
#include "forms/limitedtextbox.h"

namespace windows {

class FrmMsg : public forms::Form {
    Q_OBJECT
public:
    FrmMsg();

    void Command1_Click();
    void Form_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* Label1;
    forms::LimitedTextBox* txtMessage;
    QPushButton* Command1;
};

} // namespace windows
