#include "desktop/x11.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(RUPIKA_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#endif

namespace desktop {

void IgnoreOwnPropertyChanges(QWidget* window) {
#if defined(RUPIKA_HAVE_XCB)
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    // Everything else Qt selected stays: exposure, input, focus and the window manager's notices.
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
    if (attributes == nullptr)
        return;
    const std::uint32_t mask = attributes->your_event_mask & ~std::uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE};
    std::free(attributes);
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
#else
    (void)window;
#endif
}

} // namespace desktop
