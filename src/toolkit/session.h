// How the game meets the desktop session: which Qt platform it asks for, and
// the logout inhibitor it holds through the desktop portal.
#pragma once

#include <QByteArray>
#include <QDBusObjectPath>
#include <QObject>
#include <functional>

class QWidget;

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

// Holds a logout inhibitor for `window` through the desktop portal
// (org.freedesktop.portal.Inhibit) while `wanted` says so, and drops it when
// it no longer does. `wanted` is read each time the program has handled its
// pending events, so every change is followed as soon as the program is idle.
// The request names the window, so the desktop can show which window holds
// the logout: "x11:" and its id on X11; on Wayland nothing, as Qt exports no
// handle of its windows. Without a session bus or a portal nothing happens
// and nothing is printed.
class LogoutInhibitor : public QObject {
    Q_OBJECT
public:
    LogoutInhibitor(QWidget* window, std::function<bool()> wanted);
    ~LogoutInhibitor() override;

    // Whether the portal has granted an inhibitor that is held now.
    bool held() const { return !handle_.path().isEmpty(); }

private:
    void follow();
    void inhibit();
    void release();

    QWidget* window_;
    std::function<bool()> wanted_;
    bool asked_ = false;       // an inhibitor was requested and not dropped since
    bool pending_ = false;     // the portal has not answered the request yet
    QDBusObjectPath handle_;   // the request handle of the inhibitor held
};

}  // namespace session
