#include "toolkit/session.h"

#include <QAbstractEventDispatcher>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QThread>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <QtGlobal>

#include "toolkit/x11window.h"

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

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
// The portal's flag for inhibiting a logout.
constexpr uint kInhibitLogout = 1;
// The portal hands out an inhibitor's handle before its backend has taken the
// inhibitor from the session manager, and a close that arrives before that is
// lost with the backend's inhibitor still held. An inhibitor the game no
// longer wanted when the answer came is therefore closed a little later.
constexpr int kLateReleaseMs = 500;

// The session bus, or none: without an address there is no bus to ask (and
// libdbus is not to start one of its own).
bool haveSessionBus() {
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") && QDBusConnection::sessionBus().isConnected();
}

}  // namespace

LogoutInhibitor::LogoutInhibitor(QWidget* window, std::function<bool()> wanted)
    : QObject(window), window_(window), wanted_(std::move(wanted)) {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        // Before the program waits for events, and whenever it handles some
        // without waiting (inside modal boxes, say).
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LogoutInhibitor::follow);
        connect(dispatcher, &QAbstractEventDispatcher::awake, this, &LogoutInhibitor::follow);
    }
}

LogoutInhibitor::~LogoutInhibitor() {
    asked_ = false;
    release();
}

void LogoutInhibitor::follow() {
    const bool wanted = wanted_();
    if (wanted && !asked_) inhibit();
    if (!wanted && asked_) {
        asked_ = false;
        release();
    }
}

void LogoutInhibitor::inhibit() {
    asked_ = true;
    if (pending_ || held() || !haveSessionBus()) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.Inhibit"),
                                       QStringLiteral("Inhibit"));
    QVariantMap options;
    options.insert(QStringLiteral("reason"), QStringLiteral("An unsaved game"));
    call << x11window::portalWindowName(*window_) << kInhibitLogout << options;
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
        answered->deleteLater();
        pending_ = false;
        const QDBusPendingReply<QDBusObjectPath> reply = *answered;
        // No portal, or it refused: the game goes on without an inhibitor.
        if (reply.isError()) return;
        handle_ = reply.value();
        // Dropped again while the portal was answering.
        if (!asked_) QTimer::singleShot(kLateReleaseMs, this, [this] {
            if (!asked_) release();
        });
    });
}

void LogoutInhibitor::release() {
    if (!held()) return;
    // Closing the request handle ends the inhibitor; no answer is awaited.
    const QDBusMessage close = QDBusMessage::createMethodCall(
        kPortal, handle_.path(), QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
    QDBusConnection::sessionBus().send(close);
    handle_ = QDBusObjectPath();
}

}  // namespace session
