// fonts.h - the Japanese faces the windows ask for, with their substitutes off Windows
#pragma once

#include <QFont>
#include <QString>

namespace forms {

enum class Face { MsGothic, MsPGothic, MsPMincho };

// Registers IPA and Noto CJK substitutes for the Windows face names, and says on standard error
// when no installed face can show Japanese at all; call once after QApplication.
void InstallFontSubstitutes();

QFont MakeFont(Face face, qreal points, bool bold = false);

} // namespace forms
