// What the game tells an X11 window manager, and asks of it, about its
// windows before they are mapped. Elsewhere (another Qt platform, a build
// without libxcb) the calls do nothing, or show the window plainly.
#pragma once

#include <QMargins>
#include <QString>
#include <optional>

class QWidget;

namespace x11window {

// Whether the program talks to an X server (XWayland included).
bool onX11();

// What the window manager tells of the frame it will draw around a new
// top-level window, before the window exists.
struct FrameNotice {
    QMargins margins;
    // The window manager puts the frame's corner, not the window's, where
    // the window was created, and keeps it there whatever the window asks
    // later (weston); it shows windows elsewhere than their X11 places.
    bool cornerAtCreation = false;
};

// The frame around a new top-level window with the window flags of `like`
// (a main window, a dialog), told before any native window of `like` exists,
// so that it can be created at its final place. Asked with a scratch window
// of the same kind (_NET_REQUEST_FRAME_EXTENTS); an answer of zeros is a
// frameless window manager's answer. Weston draws a fixed frame it never
// announces, and is answered from that frame. Empty where the window manager
// does not tell the frame before it maps windows: finding that out costs one
// exchange with the window manager.
std::optional<FrameNotice> frameForNewWindow(const QWidget& like);

// Shows the top-level `window` so that the window manager frames it around
// the centre of the place it was given (ICCCM win_gravity Center), for window
// managers that do not tell the frame beforehand: the window maps centred
// where it was put, with no move afterwards.
void showKeepingCentre(QWidget& window);

// Names the desktop entry of the program on `window` (the _GTK_APPLICATION_ID
// and _KDE_NET_WM_DESKTOP_FILE properties), so docks and task bars tie the
// window to the menu entry and its icon.
void nameDesktopEntry(QWidget& window, const QString& desktopFileName);

// The desktop portal's name of `window`: "x11:" and its id in hexadecimal on
// X11, empty elsewhere and before the window exists.
QString portalWindowName(QWidget& window);

}  // namespace x11window
