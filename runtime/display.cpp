#include "display.h"

#include <QList>
#include <QtGlobal>

#if defined(RUPIKA_HAVE_XCB)
#include <xcb/xcb.h>
#endif
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#endif

namespace runtime {
namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
bool XAnswers() {
#if defined(RUPIKA_HAVE_XCB)
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY");
#endif
}

// Where libwayland would connect: WAYLAND_DISPLAY (wayland-0 by default) in the runtime folder.
bool WaylandAnswers() {
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        path = "wayland-0";
    if (!path.startsWith('/')) {
        const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
        if (folder.isEmpty())
            return false;
        path = folder + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answers = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return answers;
}
#endif

} // namespace

std::optional<QByteArray> OpenablePlatform(const QByteArray& requested) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QList<QByteArray> candidates =
        requested.isEmpty() ? QList<QByteArray>{"xcb", "wayland"} : requested.split(';');
    for (const QByteArray& candidate : candidates) {
        const QByteArray name = candidate.split(':').constFirst().trimmed(); // "name:options"
        // Platforms without a display server (offscreen, vnc, eglfs) are the user's to judge.
        if (name == "xcb" ? XAnswers() : name.startsWith("wayland") ? WaylandAnswers() : !name.isEmpty())
            return candidate;
    }
    return std::nullopt;
#else
    return requested;
#endif
}

void UseUtf8InTheCLocale() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype != nullptr && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
        std::setlocale(LC_CTYPE, "C.UTF-8");
#endif
}

} // namespace runtime
