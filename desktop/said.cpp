#include "desktop/said.h"

#if defined(Q_OS_WIN)
#include <windows.h>

#include <cstdio>
#endif

namespace desktop {

Q_LOGGING_CATEGORY(Said, "rupika-tokei")

void SayWhereStarted() {
#if defined(Q_OS_WIN)
    const auto nowhere = [](DWORD stream) {
        const HANDLE handle = GetStdHandle(stream);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool out = nowhere(STD_OUTPUT_HANDLE), err = nowhere(STD_ERROR_HANDLE);
    if ((out || err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (out)
            std::freopen("CONOUT$", "w", stdout);
        if (err)
            std::freopen("CONOUT$", "w", stderr);
    }
    if (!nowhere(STD_ERROR_HANDLE) || GetConsoleWindow() != nullptr)
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
#endif
}

} // namespace desktop
