#include "desktop/x11.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(RUPIKA_HAVE_XCB)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace desktop {
#if defined(RUPIKA_HAVE_XCB)
namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <class T> Reply<T> Take(T* reply) {
    return Reply<T>(reply, &std::free);
}

xcb_connection_t* Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto reply = Take(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window manager's frame around a window: the ancestor whose parent is the root. 0 for none.
xcb_window_t Frame(xcb_connection_t* connection, xcb_window_t window) {
    for (;;) {
        const auto tree = Take(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
        if (!tree || tree->parent == XCB_WINDOW_NONE)
            return XCB_WINDOW_NONE;
        if (tree->parent == tree->root)
            return window;
        window = tree->parent;
    }
}

// Where a child of the root lies, border included.
struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Overlaps(const Area& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

Area Placed(xcb_connection_t* connection, xcb_window_t window) {
    const auto g = Take(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!g)
        return {};
    const int border = 2 * g->border_width;
    return {g->x, g->y, g->x + g->width + border, g->y + g->height + border};
}

} // namespace
#endif

void IgnoreOwnPropertyChanges(QWidget* window) {
#if defined(RUPIKA_HAVE_XCB)
    xcb_connection_t* connection = Connection();
    if (connection == nullptr)
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

bool CoveredByActive(QWidget* window) {
#if defined(RUPIKA_HAVE_XCB)
    xcb_connection_t* connection = Connection();
    if (connection == nullptr)
        return false;
    static const xcb_atom_t activeAtom = Atom(connection, "_NET_ACTIVE_WINDOW");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto active = Take(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr));
    // The manager's word, not the input focus: a window may be active, and stacked so, without taking the focus.
    const xcb_window_t id = static_cast<xcb_window_t>(window->winId());
    if (!active || xcb_get_property_value_length(active.get()) != 4 ||
        *static_cast<const xcb_window_t*>(xcb_get_property_value(active.get())) == id)
        return false;
    // The frames, children of the root, in the X server's stacking: the stacking seen. The managers' own list
    // of it (_NET_CLIENT_LIST_STACKING) is, in fluxbox, only the order of mapping.
    const xcb_window_t own = Frame(connection, id);
    const xcb_window_t other =
        Frame(connection, *static_cast<const xcb_window_t*>(xcb_get_property_value(active.get())));
    const auto tree = Take(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree || own == XCB_WINDOW_NONE || other == XCB_WINDOW_NONE || other == own)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const xcb_window_t* end = children + xcb_query_tree_children_length(tree.get());
    // Bottom to top.
    const xcb_window_t* ownAt = std::find(children, end, own);
    return ownAt != end && std::find(ownAt, end, other) != end &&
           Placed(connection, own).Overlaps(Placed(connection, other));
#else
    (void)window;
    return false;
#endif
}

void ActivateAsPager(QWidget* window) {
#if defined(RUPIKA_HAVE_XCB)
    xcb_connection_t* connection = Connection();
    if (connection == nullptr)
        return;
    static const xcb_atom_t active = Atom(connection, "_NET_ACTIVE_WINDOW");
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = active;
    message.data.data32[0] = 2; // a pager's request, which managers grant as the user's own
    message.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
#else
    (void)window;
#endif
}

} // namespace desktop
