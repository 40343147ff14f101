// frmmsg.h - the message window: the text the alarm box will show
#pragma once

#include <QLabel>
#include <QPushButton>

#include "forms.h"
#include "limitedtextbox.h"

namespace windows {

class FrmMsg : public runtime::Form {
    Q_OBJECT
public:
    FrmMsg();

    void Command1_Click();
    void Form_Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* Label1;
    runtime::LimitedTextBox* txtMessage;
    QPushButton* Command1;
};

} // namespace windows
