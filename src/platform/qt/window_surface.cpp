#include "platform/qt/window_surface.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#endif

namespace vemo {

namespace {

#if QT_CONFIG(xcb)

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// Whether a compositor draws this X server's windows: a compositing manager owns the screen's
// _NET_WM_CM_S<n> selection, or the server is XWayland, whose windows a Wayland compositor
// draws whether or not its window manager announces itself.
bool xServerComposites(xcb_connection_t *connection)
{
    int screen = 0;
    char *host = nullptr;
    int display = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        screen = 0;
    std::free(host);

    const std::string selection = "_NET_WM_CM_S" + std::to_string(screen);
    const auto atomCookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(selection.size()), selection.data());
    static constexpr char kXWayland[] = "XWAYLAND";
    const auto extensionCookie = xcb_query_extension(connection, sizeof kXWayland - 1, kXWayland);

    bool composites = false;
    const ReplyPtr<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (atom && atom->atom != XCB_ATOM_NONE) {
        const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(connection,
                                          xcb_get_selection_owner(connection, atom->atom), nullptr),
            &std::free);
        composites = owner && owner->owner != XCB_NONE;
    }
    const ReplyPtr<xcb_query_extension_reply_t> extension(
        xcb_query_extension_reply(connection, extensionCookie, nullptr), &std::free);
    return composites || (extension && extension->present);
}

#endif

} // namespace

WindowSurface surfaceForDesktop()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QStringLiteral("wayland")))
        return WindowSurface::Alpha;
#if QT_CONFIG(xcb)
    if (platform == QStringLiteral("xcb"))
        if (const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            return xServerComposites(x11->connection()) ? WindowSurface::Alpha
                                                        : WindowSurface::Opaque;
#endif
    return WindowSurface::Opaque;
}

} // namespace vemo
