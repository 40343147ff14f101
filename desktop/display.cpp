#include "desktop/display.h"

#include <QList>
#include <QtGlobal>

#if defined(RUPIKA_HAVE_XCB)
#include <xcb/xcb.h>
#endif
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

namespace desktop {
namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// The open connection, or nullptr. A server that turns a client away while another leaves is asked
// again.
void* ConnectX() {
#if defined(RUPIKA_HAVE_XCB)
    for (int attempt = 0; attempt < 3; ++attempt) {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection) == 0)
            return connection;
        xcb_disconnect(connection);
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            break;
        usleep(20'000);
    }
    return nullptr;
#else
    static int stands_for_a_connection;
    return qEnvironmentVariableIsEmpty("DISPLAY") ? nullptr : &stands_for_a_connection;
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

DisplayChoice::DisplayChoice(const QByteArray& requested) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QList<QByteArray> candidates =
        requested.isEmpty() ? QList<QByteArray>{"xcb", "wayland"} : requested.split(';');
    for (const QByteArray& candidate : candidates) {
        const QByteArray name = candidate.split(':').constFirst().trimmed(); // "name:options"
        // Platforms without a display server (offscreen, vnc, eglfs) are the user's to judge.
        const bool answers = name == "xcb"                ? (x_ = ConnectX()) != nullptr
                             : name.startsWith("wayland") ? WaylandAnswers()
                                                          : !name.isEmpty();
        if (answers) {
            platform_ = candidate;
            return;
        }
    }
#else
    platform_ = requested;
#endif
}

void DisplayChoice::Release() {
#if defined(RUPIKA_HAVE_XCB)
    if (x_ != nullptr)
        xcb_disconnect(static_cast<xcb_connection_t*>(x_));
#endif
    x_ = nullptr;
}

bool ChooseScreenshotPlatform(bool platformNamed) {
    if (platformNamed || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
#if defined(Q_OS_WIN)
        if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
            qputenv("QT_QPA_FONTDIR", qgetenv("SystemRoot") + "\\Fonts");
#endif
        return false;
    }
#if defined(Q_OS_WIN)
    return true;
#else
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return false;
#endif
}

} // namespace desktop
