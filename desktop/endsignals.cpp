#include "desktop/endsignals.h"

#include <QCoreApplication>

#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace desktop {

#ifdef Q_OS_UNIX
namespace {

int pipeEnds[2] = {-1, -1};

// A handler may do next to nothing: it hands the signal on through a pipe, which never blocks it.
void Heard(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

} // namespace

void OnEndSignals(std::function<void()> end) {
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    // Read by a thread of its own, asleep until a signal comes, so that the idle event loop has nothing more to
    // watch on each of its turns; the end itself runs in the event loop.
    std::thread([end = std::move(end)] {
        char signal;
        while (::read(pipeEnds[0], &signal, 1) < 0 && errno == EINTR) {
        }
        QMetaObject::invokeMethod(QCoreApplication::instance(), end, Qt::QueuedConnection);
    }).detach();
    struct sigaction action = {};
    action.sa_handler = Heard;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}
#else
void OnEndSignals(std::function<void()>) {}
#endif

} // namespace desktop
