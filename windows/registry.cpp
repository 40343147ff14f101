#include "frmmsg.h"
#include "frmset.h"
#include "frmtokei.h"
#include "texts.h"

namespace windows {

void RegisterWindows() {
    runtime::RegisterForm(FrmTokeiName, [] { return new FrmTokei; });
    runtime::RegisterForm(FrmSetName, [] { return new FrmSet; });
    runtime::RegisterForm(FrmMsgName, [] { return new FrmMsg; });
}

} // namespace windows
