// A frameless window manager for the window tests, where no packaged one
// behaves so: it lists _NET_REQUEST_FRAME_EXTENTS and answers it at once with
// zeros ("zeros") or never ("silent"). Windows map where they ask to be, with
// zero frame extents; in "silent" mode a window first sits for 300 ms in a
// 1 x 1 frame at 0,0 (negative right and bottom extents), as KWin frames a
// window for a moment, and its frame is announced only 50 ms after it took
// its place, as KWin through XWayland now and then does. It activates and
// closes windows when asked. For each window asked about that is destroyed
// unmapped (the program's scratch window) it prints how long after the frame
// request that came: how long the program waited for an answer.
//
// Usage: stand_in_wm zeros|silent
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <poll.h>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
xcb_connection_t* c;

xcb_atom_t atom(const char* name) {
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r != nullptr ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
}

void setLongs(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const uint32_t* values, uint32_t count) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32, count, values);
}

// A window in a frame of ours: where it asked to be, and until when its
// frame is 1 x 1.
struct Framed {
    xcb_window_t frame;
    int16_t x, y;
    uint16_t width, height;
    std::optional<Clock::time_point> oneByOneUntil, announceAt;
};

// Gives the frame the window's place and size, once it is no longer 1 x 1,
// and tells the window where it is on the screen, as window managers do
// (ICCCM 4.1.5).
void place(xcb_window_t window, const Framed& f) {
    const uint32_t geometry[4] = {static_cast<uint32_t>(f.x), static_cast<uint32_t>(f.y), f.width, f.height};
    if (!f.oneByOneUntil) {
        xcb_configure_window(c, f.frame, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT, geometry);
    }
    xcb_configure_notify_event_t e{};
    e.response_type = XCB_CONFIGURE_NOTIFY;
    e.event = e.window = window;
    e.x = f.oneByOneUntil ? 0 : f.x, e.y = f.oneByOneUntil ? 0 : f.y, e.width = f.width, e.height = f.height;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&e));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "zeros" && mode != "silent") return 2;
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t root = screen->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* e = xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(e);
        return 1;  // another window manager runs
    }
    const xcb_atom_t request = atom("_NET_REQUEST_FRAME_EXTENTS"), extents = atom("_NET_FRAME_EXTENTS");
    const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW"), close = atom("_NET_CLOSE_WINDOW");
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK"), wmState = atom("WM_STATE");
    // Who it is and what it supports, as window managers announce it.
    const xcb_window_t self = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, self, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    for (xcb_window_t w : {root, self}) setLongs(w, check, XCB_ATOM_WINDOW, &self, 1);
    const uint32_t supported[] = {request, extents, active, close, check};
    setLongs(root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, supported, 5);

    std::map<xcb_window_t, Clock::time_point> asked;  // the frame requests, by window
    const uint32_t none[4] = {0, 0, 0, 0};
    std::map<xcb_window_t, Framed> framed;
    for (;;) {
        for (auto& [window, f] : framed) {
            if (f.oneByOneUntil && Clock::now() >= *f.oneByOneUntil) {
                f.oneByOneUntil.reset();
                f.announceAt = Clock::now() + std::chrono::milliseconds(50);
                place(window, f);
            } else if (f.announceAt && Clock::now() >= *f.announceAt) {
                f.announceAt.reset();
                setLongs(window, extents, XCB_ATOM_CARDINAL, none, 4);
            }
        }
        xcb_flush(c);
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (event == nullptr) {
            if (xcb_connection_has_error(c)) return 0;
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, 10);
            continue;
        }
        switch (event->response_type & 0x7F) {
        case XCB_MAP_REQUEST: {
            const xcb_window_t window = reinterpret_cast<xcb_map_request_event_t*>(event)->window;
            const uint32_t normal[2] = {1, XCB_NONE};
            setLongs(window, wmState, wmState, normal, 2);
            auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
            if (mode == "silent" && g != nullptr && !framed.count(window)) {
                Framed f{xcb_generate_id(c), g->x, g->y, g->width, g->height, Clock::now() + std::chrono::milliseconds(300), std::nullopt};
                const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
                xcb_create_window(c, XCB_COPY_FROM_PARENT, f.frame, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                                  screen->root_visual, XCB_CW_EVENT_MASK, &events);
                xcb_reparent_window(c, window, f.frame, 0, 0);
                const uint32_t oneByOne[4] = {0, 1u - g->width, 0, 1u - g->height};
                setLongs(window, extents, XCB_ATOM_CARDINAL, oneByOne, 4);
                xcb_map_window(c, f.frame);
                framed[window] = f;
                place(window, f);
            } else {
                setLongs(window, extents, XCB_ATOM_CARDINAL, none, 4);
            }
            std::free(g);
            xcb_map_window(c, window);
            asked.erase(window);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const xcb_window_t window = reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window;
            if (const auto it = asked.find(window); it != asked.end()) {
                const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - it->second);
                std::printf("0x%x gone %lld ms after its frame request\n", window, static_cast<long long>(waited.count()));
                std::fflush(stdout);
                asked.erase(it);
            }
            break;
        }
        case XCB_UNMAP_NOTIFY: {  // a framed window closed: its frame goes
            const auto* u = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
            if (const auto it = framed.find(u->window); it != framed.end()) {
                xcb_reparent_window(c, u->window, root, it->second.x, it->second.y);
                xcb_destroy_window(c, it->second.frame);
                framed.erase(it);
            }
            break;
        }
        case XCB_CONFIGURE_REQUEST: {
            const auto* r = reinterpret_cast<xcb_configure_request_event_t*>(event);
            if (const auto it = framed.find(r->window); it != framed.end()) {
                Framed& f = it->second;
                if (r->value_mask & XCB_CONFIG_WINDOW_X) f.x = r->x;
                if (r->value_mask & XCB_CONFIG_WINDOW_Y) f.y = r->y;
                if (r->value_mask & XCB_CONFIG_WINDOW_WIDTH) f.width = r->width;
                if (r->value_mask & XCB_CONFIG_WINDOW_HEIGHT) f.height = r->height;
                const uint32_t size[2] = {f.width, f.height};
                xcb_configure_window(c, r->window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
                place(r->window, f);
                break;
            }
            // The fields of the request follow the order of its mask bits.
            const uint32_t given[] = {static_cast<uint32_t>(r->x), static_cast<uint32_t>(r->y), r->width, r->height,
                                      r->border_width, r->sibling, r->stack_mode};
            uint32_t values[7];
            int n = 0;
            for (int bit = 0; bit < 7; ++bit)
                if (r->value_mask & (1u << bit)) values[n++] = given[bit];
            xcb_configure_window(c, r->window, r->value_mask, values);
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            const auto* m = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (m->type == request) {
                asked[m->window] = Clock::now();
                if (mode == "zeros") setLongs(m->window, extents, XCB_ATOM_CARDINAL, none, 4);
            } else if (m->type == active) {
                const auto it = framed.find(m->window);
                const uint32_t above = XCB_STACK_MODE_ABOVE;
                xcb_configure_window(c, it != framed.end() ? it->second.frame : m->window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, m->window, XCB_CURRENT_TIME);
                setLongs(root, active, XCB_ATOM_WINDOW, &m->window, 1);
            } else if (m->type == close) {
                xcb_client_message_event_t del{};
                del.response_type = XCB_CLIENT_MESSAGE;
                del.format = 32;
                del.window = m->window;
                del.type = atom("WM_PROTOCOLS");
                del.data.data32[0] = atom("WM_DELETE_WINDOW");
                xcb_send_event(c, 0, m->window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&del));
            }
            break;
        }
        default: break;
        }
        std::free(event);
    }
}
