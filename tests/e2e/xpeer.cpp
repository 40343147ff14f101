// xpeer - the two things the end-to-end scripts need from X that xdotool cannot do:
//
//   xpeer close WINDOW   asks WINDOW to close the way a window manager's close box does
//                        (a WM_DELETE_WINDOW client message), which xdotool's windowkill
//                        would bypass and which wmctrl cannot do without a window manager
//   xpeer clipboard      prints the text on the CLIPBOARD, to read back what a box shows
//
// Exit status: 0 done, 1 failed (reason on stderr), 2 bad usage.
#include <X11/Xlib.h>

#include <sys/select.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Connection {
    Display* dpy = XOpenDisplay(nullptr);
    ~Connection() {
        if (dpy != nullptr)
            XCloseDisplay(dpy);
    }
};

int Fail(const char* why) {
    std::fprintf(stderr, "xpeer: %s\n", why);
    return 1;
}

int Close(Display* dpy, const char* windowText) {
    char* end = nullptr;
    const unsigned long window = std::strtoul(windowText, &end, 0);
    if (end == windowText || *end != '\0' || window == 0)
        return Fail("not a window id");

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(dpy, window, False, NoEventMask, &event) == 0)
        return Fail("the close request could not be sent");
    XSync(dpy, False);
    return 0;
}

// Waits up to the deadline for the selection owner's answer; X gives no blocking call with a timeout.
bool WaitForSelection(Display* dpy, Window requestor, XEvent& answer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    const int fd = ConnectionNumber(dpy);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(dpy) > 0) {
            XNextEvent(dpy, &answer);
            if (answer.type == SelectionNotify && answer.xselection.requestor == requestor)
                return true;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval pause{0, 50000};
        select(fd + 1, &readable, nullptr, nullptr, &pause);
    }
    return false;
}

int Clipboard(Display* dpy) {
    const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    const Atom into = XInternAtom(dpy, "XPEER_CLIPBOARD", False);
    if (XGetSelectionOwner(dpy, clipboard) == None)
        return Fail("nobody holds the clipboard");

    const Window requestor = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(dpy, clipboard, utf8, into, requestor, CurrentTime);
    XFlush(dpy);
    XEvent answer{};
    if (!WaitForSelection(dpy, requestor, answer))
        return Fail("the clipboard owner did not answer within 3 s");
    if (answer.xselection.property == None)
        return Fail("the clipboard holds no text");

    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, requestor, into, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &left,
                           &data) != Success ||
        data == nullptr)
        return Fail("the clipboard text could not be read");
    const std::string text(reinterpret_cast<const char*>(data), count);
    XFree(data);
    if (format != 8)
        return Fail("the clipboard holds no 8-bit text");
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (!((command == "close" && argc == 3) || (command == "clipboard" && argc == 2))) {
        std::fprintf(stderr, "usage: xpeer close WINDOW | xpeer clipboard\n");
        return 2;
    }
    Connection display;
    if (display.dpy == nullptr)
        return Fail("cannot open the display");
    return command == "close" ? Close(display.dpy, argv[2]) : Clipboard(display.dpy);
}
