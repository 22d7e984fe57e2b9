// How the game meets the desktop session: which Qt platform it asks for.
#pragma once

#include <QByteArray>

namespace session {

// The Qt platforms to ask for, given the player's own choice
// (QT_QPA_PLATFORM), XDG_SESSION_TYPE and WAYLAND_DISPLAY. On a Wayland
// session the game goes through XWayland, where it can place its windows and
// hear the session's logout, with native Wayland as the fallback where there
// is no XWayland. Empty: leave the choice to Qt (the player's, or X11).
QByteArray platformsFor(const QByteArray& chosen, const QByteArray& sessionType, const QByteArray& waylandDisplay);

// Applies platformsFor to this process's environment for the application
// object about to be built; restoreEnvironment() takes it back afterwards,
// so the programs the game starts (the opener, a browser) choose for themselves.
void choosePlatform();
void restoreEnvironment();

}  // namespace session
