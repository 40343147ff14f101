// instances.h - the three windows' program-wide instances, through which each reaches the others
#pragma once

#include "forms.h"

namespace windows {

class FrmTokei;
class FrmSet;
class FrmMsg;

runtime::FormInstance<FrmTokei>& frmTokei();
runtime::FormInstance<FrmSet>& frmSet();
runtime::FormInstance<FrmMsg>& frmMsg();

} // namespace windows
