#include "app/session.h"

#include <QtGlobal>

namespace session {

namespace {
bool platformSet = false;
}

QByteArray platformsFor(const QByteArray& chosen, const QByteArray& sessionType, const QByteArray& waylandDisplay) {
    if (!chosen.isEmpty()) return {};
    if (sessionType != "wayland" && waylandDisplay.isEmpty()) return {};
    return QByteArrayLiteral("xcb;wayland");
}

void choosePlatform() {
    const QByteArray platforms = platformsFor(qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"),
                                              qgetenv("WAYLAND_DISPLAY"));
    if (platforms.isEmpty()) return;
    qputenv("QT_QPA_PLATFORM", platforms);
    platformSet = true;
}

void restoreEnvironment() {
    if (platformSet) qunsetenv("QT_QPA_PLATFORM");
    platformSet = false;
}

}  // namespace session
