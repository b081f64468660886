#include "platform/windowmanager.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace WindowManager {

bool running()
{
#if QT_CONFIG(xcb)
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // No X server behind the window: a Wayland compositor always places and sizes windows itself
    // (full screen, maximise), and the offscreen and framebuffer platforms need nobody.
    if (!x11 || !x11->connection())
        return true;
    // A running manager names its check window on the root window, as window managers agree to.
    xcb_connection_t *connection = x11->connection();
    static const char name[] = "_NET_SUPPORTING_WM_CHECK";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> check(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
                               nullptr),
        &std::free);
    return check && xcb_get_property_value_length(check.get()) == sizeof(xcb_window_t);
#else
    return true;
#endif
}

}
