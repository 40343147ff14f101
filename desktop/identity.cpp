#include "desktop/identity.h"

namespace desktop {
namespace {

Identity& Stored() {
    static Identity identity;
    return identity;
}

} // namespace

void SetIdentity(const Identity& identity) {
    Stored() = identity;
}

const Identity& ProgramIdentity() {
    return Stored();
}

} // namespace desktop
