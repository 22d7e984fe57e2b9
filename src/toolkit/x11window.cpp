#include "toolkit/x11window.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#ifdef QUORVALE_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace x11window {

#ifdef QUORVALE_HAVE_XCB
namespace {

// How long the window manager may take to answer a frame request. Window
// managers answer at once; a short wait keeps a silent one from delaying the
// window noticeably.
constexpr qint64 kFrameAnswerMs = 200;

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

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return tree ? tree->root : xcb_window_t{XCB_WINDOW_NONE};
}

// Whether the window manager lists `wanted` in the root window's _NET_SUPPORTED.
bool supported(xcb_connection_t* c, xcb_window_t root, xcb_atom_t wanted) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == wanted) return true;
    }
    return false;
}

// _NET_FRAME_EXTENTS of `window` (left, right, top, bottom), null while unset.
QMargins frameExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) return {};
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
}

}  // namespace

QMargins frameBeforeMapping(QWidget& window) {
    xcb_connection_t* c = connection();
    if (c == nullptr) return {};
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = rootOf(c, id);
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || request == XCB_ATOM_NONE || !supported(c, root, request)) return {};

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);

    // The answer is the property on the window; each read is a round trip
    // to the server, which also lets the window manager's answer arrive.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QMargins frame = frameExtents(c, id, extents);
        if (!frame.isNull() || clock.elapsed() > kFrameAnswerMs) return frame;
        QThread::msleep(2);
    }
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

#else

QMargins frameBeforeMapping(QWidget&) { return {}; }
void nameDesktopEntry(QWidget&, const QString&) {}

#endif

}  // namespace x11window
