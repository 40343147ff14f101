// instances.h - the three windows' program-wide instances, through which each reaches the others
#pragma once

#include "forms/forms.h"

namespace windows {

class FrmTokei;
class FrmSet;
class FrmMsg;

forms::FormInstance<FrmTokei>& frmTokei();
forms::FormInstance<FrmSet>& frmSet();
forms::FormInstance<FrmMsg>& frmMsg();

} // namespace windows
