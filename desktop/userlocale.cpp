#include "desktop/userlocale.h"

#include <QLocale>

#include <clocale>
#include <cstring>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <locale.h>
#endif

namespace desktop {
namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
bool IsC(const QByteArray& name) {
    return name.isEmpty() || name == "C" || name == "POSIX";
}
#endif

} // namespace

const aramu::LocaleFormats& UserFormats() {
    static const aramu::LocaleFormats formats = [] {
        const QLocale system = QLocale::system();
#if defined(Q_OS_WIN)
        // Windows keeps the time format the user chose as the system locale's long one; Qt reports it unchanged.
        return aramu::FormatsFor(system, system.timeFormat(QLocale::LongFormat));
#else
        return aramu::FormatsFor(system);
#endif
    }();
    return formats;
}

void UseUtf8InTheCLocale() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The C library takes the character type from LC_ALL, then LC_CTYPE, then LANG.
    if (!qEnvironmentVariableIsEmpty("LC_ALL"))
        return;
    if (!IsC(qEnvironmentVariableIsEmpty("LC_CTYPE") ? qgetenv("LANG") : qgetenv("LC_CTYPE")))
        return;
    // A C library without C.UTF-8 would fail the whole setlocale(LC_ALL, "") over it.
    if (const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
        freelocale(utf8);
        qputenv("LC_CTYPE", "C.UTF-8");
    }
#endif
}

void UseUtf8UnderLcAllC() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype != nullptr && IsC(ctype))
        std::setlocale(LC_CTYPE, "C.UTF-8");
#endif
}

} // namespace desktop
