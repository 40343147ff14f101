// msgbox.h - message boxes by style, with a seam that lets tests answer them
#pragma once

#include <QString>

#include <functional>

namespace desktop {
class BoxSound;
}

namespace forms {

using desktop::BoxSound;

enum class MsgStyle {
    OkOnly,              // OK, no icon
    OkCancelInformation, // OK and Cancel, information icon
    OkInformation,       // OK, information icon
    OkSystemModal,       // OK, above every window on the desktop
};

enum class MsgAnswer { Ok, Cancel };

struct MsgBoxCall {
    QString prompt;
    MsgStyle style = MsgStyle::OkOnly;
    QString title;
    BoxSound* sound = nullptr;
};

// Shows the box and returns the answer once the user dismisses it. Esc and the close box answer
// Cancel where there is a Cancel button, OK where OK is the only one. Prompts are always plain text.
// A sound, if given, plays while the box is open.
MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title, BoxSound* sound = nullptr);

// While set, MsgBox shows nothing and returns what the answerer says. Pass an empty function to go
// back to real boxes.
void SetMsgBoxAnswerer(std::function<MsgAnswer(const MsgBoxCall&)> answerer);

} // namespace forms
