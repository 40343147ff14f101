#include "desktop/userlocale.h"

#include <QLocale>

#include <clocale>
#include <cstring>

namespace desktop {

const aramu::LocaleFormats& UserFormats() {
    static const aramu::LocaleFormats formats = aramu::FormatsFor(QLocale::system());
    return formats;
}

void UseUtf8InTheCLocale() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype != nullptr && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
        std::setlocale(LC_CTYPE, "C.UTF-8");
#endif
}

} // namespace desktop
