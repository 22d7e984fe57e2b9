#include "toolkit/x11window.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#ifdef QUORVALE_HAVE_XCB
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace x11window {

#ifdef QUORVALE_HAVE_XCB
namespace {

// How long a window manager that does not react at all is waited for: it
// could not show the window sooner anyway.
constexpr qint64 kUnresponsiveMs = 500;

// Weston's own frame around X11 windows (its built-in theme: a 27-pixel title
// bar and a 6-pixel border), which it never announces.
constexpr QMargins kWestonFrame(6, 27, 6, 6);

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen != nullptr ? screen->root : xcb_window_t{XCB_WINDOW_NONE};
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                         std::uint32_t longs) {
    return Reply<xcb_get_property_reply_t>(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, longs), nullptr));
}

// Whether the window manager lists `wanted` in the root window's _NET_SUPPORTED.
bool supported(xcb_connection_t* c, xcb_window_t root, xcb_atom_t wanted) {
    const auto reply = property(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == wanted) return true;
    }
    return false;
}

// The name the running window manager gives itself (_NET_WM_NAME of its
// _NET_SUPPORTING_WM_CHECK window), empty without one.
QByteArray windowManagerName(xcb_connection_t* c, xcb_window_t root) {
    const auto check = property(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
    if (!check || check->format != 32 || xcb_get_property_value_length(check.get()) != 4) return {};
    const auto wm = *static_cast<const xcb_window_t*>(xcb_get_property_value(check.get()));
    const auto name = property(c, wm, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 64);
    if (!name || name->format != 8) return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(name.get())),
                      xcb_get_property_value_length(name.get()));
}

// _NET_FRAME_EXTENTS of `window` (left, right, top, bottom); empty while unset.
std::optional<QMargins> frameExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    const auto reply = property(c, window, extents, XCB_ATOM_CARDINAL, 4);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) return std::nullopt;
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
}

// Asks the window manager for the frame of the unmapped window `id` of
// `size` and waits for the answer: the property on the window. A window
// manager that lists the request need not answer it before the window maps
// (fluxbox does not), so the scratch window is also asked to grow by a pixel,
// a request the window manager grants for a window it does not manage yet,
// after the frame request: once it has, the window manager has read the
// frame request too, and either answered it or never will. Each read is a
// round trip to the server, which also lets the answer arrive.
std::optional<QMargins> askFrame(xcb_connection_t* c, xcb_window_t root, xcb_window_t id, QSize size) {
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    const auto grown = static_cast<std::uint32_t>(size.width() + 1);
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_WIDTH, &grown);
    xcb_flush(c);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
        const bool read = !geometry || geometry->width == grown || clock.elapsed() >= kUnresponsiveMs;
        if (const auto frame = frameExtents(c, id, extents)) return frame;
        if (read) return std::nullopt;
        QThread::usleep(200);
    }
}

// ICCCM's WM_SIZE_HINTS: 18 longs, the flags first and the gravity last.
constexpr std::uint32_t kSizeHintsLongs = 18;
constexpr std::uint32_t kWinGravityFlag = 1u << 9;
constexpr std::uint32_t kCenterGravity = 5;

void setCentreGravity(xcb_connection_t* c, xcb_window_t id) {
    std::array<std::uint32_t, kSizeHintsLongs> hints{};
    const auto reply = property(c, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, kSizeHintsLongs);
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == sizeof hints) {
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), sizeof hints);
    }
    hints[0] |= kWinGravityFlag;
    hints[kSizeHintsLongs - 1] = kCenterGravity;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        kSizeHintsLongs, hints.data());
}

}  // namespace

bool onX11() { return connection() != nullptr; }

std::optional<FrameNotice> frameForNewWindow(const QWidget& like) {
    xcb_connection_t* c = connection();
    if (c == nullptr) return std::nullopt;
    const xcb_window_t root = rootOf(c);
    if (root == XCB_WINDOW_NONE) return std::nullopt;
    if (windowManagerName(c, root) == "Weston WM") return FrameNotice{kWestonFrame, true};
    if (!supported(c, root, atom(c, "_NET_REQUEST_FRAME_EXTENTS"))) return std::nullopt;
    // A window of the same kind, never shown: its type and decorations follow
    // the flags, and a window that cannot be resized gets no resize handles.
    // The window itself is created only once its place is known.
    QWidget scratch(nullptr, like.windowFlags());
    scratch.setMinimumSize(like.minimumSize());
    scratch.setMaximumSize(like.maximumSize());
    scratch.resize(like.size());
    const auto frame = askFrame(c, root, static_cast<xcb_window_t>(scratch.winId()), scratch.size());
    if (!frame) return std::nullopt;
    return FrameNotice{*frame};
}

void showKeepingCentre(QWidget& window) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        window.show();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Qt writes the window's size hints as it maps it, with a gravity of its
    // own; the server is held for that moment, so the window manager reads
    // the hints only once the gravity has been put right.
    struct Held {
        xcb_connection_t* c;
        explicit Held(xcb_connection_t* connection) : c(connection) { xcb_grab_server(c); }
        ~Held() {
            xcb_ungrab_server(c);
            xcb_flush(c);
        }
    } held(c);
    window.show();
    setCentreGravity(c, id);
}

void nameDesktopEntry(QWidget& window, const QString& desktopFileName) {
    xcb_connection_t* c = connection();
    if (c == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const QByteArray name = desktopFileName.toUtf8();
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    for (const char* property : {"_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"}) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, property), utf8, 8,
                            static_cast<std::uint32_t>(name.size()), name.constData());
    }
    xcb_flush(c);
}

QString portalWindowName(QWidget& window) {
    if (connection() == nullptr || window.internalWinId() == 0) return {};
    return QStringLiteral("x11:") + QString::number(window.internalWinId(), 16);
}

#else

bool onX11() { return false; }
std::optional<FrameNotice> frameForNewWindow(const QWidget&) { return std::nullopt; }
void showKeepingCentre(QWidget& window) { window.show(); }
void nameDesktopEntry(QWidget&, const QString&) {}
QString portalWindowName(QWidget&) { return {}; }

#endif

}  // namespace x11window
