// What the game tells an X11 window manager, and asks of it, about its
// windows before they are mapped. Elsewhere (another Qt platform, a build
// without libxcb) the calls do nothing.
#pragma once

#include <QMargins>
#include <QString>

class QWidget;

namespace x11window {

// The frame the window manager will draw around `window`, asked for before
// the window is mapped (_NET_REQUEST_FRAME_EXTENTS), so the window can be
// placed by its outer size before it shows. Null where the window manager
// does not say so in time, or there is none.
QMargins frameBeforeMapping(QWidget& window);

// Names the desktop entry of the program on `window` (the _GTK_APPLICATION_ID
// and _KDE_NET_WM_DESKTOP_FILE properties), so docks and task bars tie the
// window to the menu entry and its icon.
void nameDesktopEntry(QWidget& window, const QString& desktopFileName);

}  // namespace x11window
