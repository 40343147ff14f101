#include "desktop/endsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace desktop {

#ifdef Q_OS_UNIX
namespace {

int pipeEnds[2] = {-1, -1};

// A handler may do next to nothing: it hands the signal to the event loop through a pipe.
void Heard(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

} // namespace

void OnEndSignals(std::function<void()> end) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* heard = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(heard, &QSocketNotifier::activated, heard, [end = std::move(end)] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
        }
        end();
    });
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
