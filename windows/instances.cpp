#include "windows/instances.h"

#include "windows/frmmsg.h"
#include "windows/frmset.h"
#include "windows/frmtokei.h"

namespace windows {

forms::FormInstance<FrmTokei>& frmTokei() {
    static forms::FormInstance<FrmTokei> instance;
    return instance;
}

forms::FormInstance<FrmSet>& frmSet() {
    static forms::FormInstance<FrmSet> instance;
    return instance;
}

forms::FormInstance<FrmMsg>& frmMsg() {
    static forms::FormInstance<FrmMsg> instance;
    return instance;
}

} // namespace windows
