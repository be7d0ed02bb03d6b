#pragma once

namespace vemo {

// How the window's pixels reach the screen.
enum class WindowSurface
{
    // No alpha: the window's shape alone cuts the circle out, as an X server without a
    // compositing manager shows it.
    Opaque,
    // An alpha channel, transparent outside the circle: a compositor blends the window over the
    // desktop, and some (Wayland, and X windows under XWayland) ignore the shape when they draw.
    Alpha,
};

// The surface the running desktop needs: Alpha on Wayland, under XWayland and on an X screen
// whose compositing manager holds its _NET_WM_CM_S<screen> selection; Opaque elsewhere, where
// an alpha channel would only cost time.
WindowSurface surfaceForDesktop();

} // namespace vemo
