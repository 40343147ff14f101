#include "instances.h"

#include "frmmsg.h"
#include "frmset.h"
#include "frmtokei.h"

namespace windows {

runtime::FormInstance<FrmTokei>& frmTokei() {
    static runtime::FormInstance<FrmTokei> instance;
    return instance;
}

runtime::FormInstance<FrmSet>& frmSet() {
    static runtime::FormInstance<FrmSet> instance;
    return instance;
}

runtime::FormInstance<FrmMsg>& frmMsg() {
    static runtime::FormInstance<FrmMsg> instance;
    return instance;
}

} // namespace windows
