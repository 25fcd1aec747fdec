#pragma once

// Whether the window system blends translucent windows with what is behind
// them. On X11 that takes a compositing manager, which owns the
// _NET_WM_CM_Sn selection of its screen; Wayland always composites.
namespace X11Compositing {
bool windowsCanBeTranslucent();
} // namespace X11Compositing
