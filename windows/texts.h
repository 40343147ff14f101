// texts.h - the window names and the texts the windows share
#pragma once

#include <QString>

namespace windows {

inline const QString FrmTokeiName = QStringLiteral("frmTokei");
inline const QString FrmSetName = QStringLiteral("frmSet");
inline const QString FrmMsgName = QStringLiteral("frmMsg");

// The boxes of the alarm and of the alarm-setting window all carry the program's short name.
inline const QString BoxTitle = QStringLiteral("ルピカ");

// Registers the three windows by name; call once before the first is loaded.
void RegisterWindows();

} // namespace windows
