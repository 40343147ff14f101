// msgbox.h - message boxes by numeric style, with a seam that lets tests answer them
#pragma once

#include <QString>

#include <functional>

namespace runtime {

namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int OkCancelInformation = 65; // OK and Cancel, information icon
constexpr int OkSystemModal = 4096;     // OK, above every window on the desktop
} // namespace MsgStyle

namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
} // namespace MsgAnswer

struct MsgBoxCall {
    QString prompt;
    int style = 0;
    QString title;
};

// Shows the box and returns the answer once the user dismisses it; the close box answers Cancel.
// Prompts are always plain text.
int MsgBox(const QString& prompt, int style, const QString& title);

// While set, MsgBox shows nothing and returns what the answerer says. Pass an empty function to go
// back to real boxes.
void SetMsgBoxAnswerer(std::function<int(const MsgBoxCall&)> answerer);

} // namespace runtime
