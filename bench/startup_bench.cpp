// Start-up as a user sees it, on a real X server: the time from starting a
// program to its window being mapped, and to the window answering the window
// manager's ping; its resident memory at that moment; and where the window
// manager put the window's frame from the moment it was mapped until it came
// to rest.
//
// The ping (_NET_WM_PING) is answered from the program's event loop, which
// the game enters only after its load step has read the levels and the skin,
// so the answer marks "shown with its data loaded" without any help from the
// program. The first map is seen as a MapNotify of a new top-level window (the
// window manager's frame, or the program's own window where nothing frames
// it); the frame is the program's window, found by its _NET_WM_PID, grown by
// the _NET_FRAME_EXTENTS the window manager set on it. Programs are run in
// turn, alternating, and medians are printed, with how many runs ended with
// the frame centred on the screen within 2 px and how many places the frame
// had after mapping.
//
// Usage: startup_bench RUNS LABEL=PROGRAM [LABEL=PROGRAM ...]   (DISPLAY set)
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string label;
    std::string path;
    std::vector<double> mapMillis;
    std::vector<double> millis;
    std::vector<double> rssMb;
    std::vector<int> places;  // distinct frame places from the map on, per run
    int centred = 0;
};

struct Atoms {
    xcb_atom_t protocols, ping, pid, extents;
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

// The CARDINAL values of a window property, empty when it is not set.
std::vector<uint32_t> cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 16), nullptr);
    std::vector<uint32_t> values;
    if (r != nullptr && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return values;
}

// The window of process `pid` in the tree under `window`: the window itself
// where nothing frames it, else a descendant of the frame.
xcb_window_t windowOf(xcb_connection_t* c, xcb_window_t window, const Atoms& atoms, pid_t pid, int depth = 0) {
    const std::vector<uint32_t> owner = cardinals(c, window, atoms.pid);
    if (!owner.empty() && owner[0] == static_cast<uint32_t>(pid)) return window;
    if (depth == 3) return XCB_NONE;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    xcb_window_t found = XCB_NONE;
    if (tree != nullptr) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_NONE; ++i)
            found = windowOf(c, children[i], atoms, pid, depth + 1);
    }
    std::free(tree);
    return found;
}

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect&) const = default;
};

// The frame around `client` on the screen: the client's place and size grown
// by its _NET_FRAME_EXTENTS (none: the client alone; `announced` tells which).
Rect frameOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t client, const Atoms& atoms, bool* announced = nullptr) {
    Rect frame{0, 0, 0, 0};
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, client), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, client, root, 0, 0), nullptr);
    if (g != nullptr && t != nullptr) frame = {t->dst_x, t->dst_y, g->width, g->height};
    std::free(g);
    std::free(t);
    const std::vector<uint32_t> e = cardinals(c, client, atoms.extents);  // left, right, top, bottom
    if (announced != nullptr) *announced = e.size() == 4;
    if (e.size() == 4) frame = {frame.x - int(e[0]), frame.y - int(e[2]), frame.w + int(e[0] + e[1]), frame.h + int(e[2] + e[3])};
    return frame;
}

// Whether the window `outer` is at least as large as `inner`.
bool encloses(xcb_connection_t* c, xcb_window_t outer, xcb_window_t inner) {
    xcb_get_geometry_reply_t* o = xcb_get_geometry_reply(c, xcb_get_geometry(c, outer), nullptr);
    xcb_get_geometry_reply_t* i = xcb_get_geometry_reply(c, xcb_get_geometry(c, inner), nullptr);
    const bool encloses = o != nullptr && i != nullptr && o->width >= i->width && o->height >= i->height;
    std::free(o);
    std::free(i);
    return encloses;
}

double residentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Starts `program`, waits for its window to map and for the answer to the
// ping, then follows the frame until it has kept its place for 500 ms (at
// most 3 s). Returns false when the program failed to show a window in time.
bool measure(xcb_connection_t* c, xcb_window_t root, const Atoms& atoms, Program& program, bool record) {
    // Forget whatever the previous run left in the queue.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        unsetenv("QT_QPA_PLATFORM");
        execl(program.path.c_str(), program.path.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }

    xcb_window_t client = XCB_NONE;
    xcb_window_t topLevel = XCB_NONE;  // the window mapped: the frame, or the client itself
    std::vector<std::pair<xcb_window_t, double>> mapped;  // top-level windows mapped since the start, and when
    bool answered = false;
    double mapMillis = 0;
    double millis = 0;
    double rss = 0;
    const int fd = xcb_get_file_descriptor(c);
    while (!answered) {
        if (Clock::now() - start > std::chrono::seconds(20)) break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "%s exited before answering (status %d)\n", program.label.c_str(), status);
            return false;
        }
        // Some window managers map the frame before the window is inside it.
        for (std::size_t i = 0; i < mapped.size() && client == XCB_NONE; ++i) {
            client = windowOf(c, mapped[i].first, atoms, pid);
            if (client == XCB_NONE) continue;
            topLevel = mapped[i].first;
            mapMillis = mapped[i].second;
            xcb_client_message_event_t msg{};
            msg.response_type = XCB_CLIENT_MESSAGE;
            msg.format = 32;
            msg.window = client;
            msg.type = atoms.protocols;
            msg.data.data32[0] = atoms.ping;
            msg.data.data32[1] = XCB_CURRENT_TIME;
            msg.data.data32[2] = client;
            xcb_send_event(c, 0, client, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&msg));
            xcb_flush(c);
        }
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (e == nullptr) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 5);
            continue;
        }
        const auto type = e->response_type & 0x7F;
        if (type == XCB_MAP_NOTIFY && client == XCB_NONE) {
            // Any top-level window: icewm's frames are override-redirect.
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
            mapped.emplace_back(map->window, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        } else if (type == XCB_CLIENT_MESSAGE && client != XCB_NONE) {
            const auto* msg = reinterpret_cast<xcb_client_message_event_t*>(e);
            if (msg->window == root && msg->type == atoms.protocols && msg->data.data32[0] == atoms.ping &&
                msg->data.data32[2] == client) {
                millis = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                rss = residentMb(pid);
                answered = true;
            }
        }
        std::free(e);
    }

    // The frame's places from here on (the first was read just after the
    // map). KWin maps a new window in a 1 x 1 frame at 0,0 and only then
    // gives the frame its size and place, all before it shows the window:
    // a frame smaller than the window is not a place the window was seen at.
    // Nor is a frame not yet announced (mutter announces it after the map).
    std::vector<Rect> places;
    Rect unannounced{0, 0, 0, 0};
    if (answered) {
        const Clock::time_point followed = Clock::now();
        Clock::time_point still = followed;
        while (Clock::now() - still < std::chrono::milliseconds(500) && Clock::now() - followed < std::chrono::seconds(3)) {
            bool announced = false;
            const Rect frame = frameOf(c, root, client, atoms, &announced);
            if (!encloses(c, topLevel, client) || (topLevel != client && !announced)) {
                unannounced = frame;
                usleep(2000);
                continue;
            }
            if (places.empty() || !(places.back() == frame)) {
                places.push_back(frame);
                still = Clock::now();
            }
            usleep(2000);
        }
    }

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!answered) {
        std::fprintf(stderr, "%s: no %s within 20 s\n", program.label.c_str(),
                     client == XCB_NONE ? "window" : "answer to the ping");
        return false;
    }
    if (record) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        // A window manager that never announces the frame (weston): the
        // window alone, where X11 has it.
        if (places.empty()) places.push_back(unannounced);
        const Rect& rest = places.back();
        const bool centred = std::abs(rest.x - (screen->width_in_pixels - rest.w) / 2) <= 2 &&
                             std::abs(rest.y - (screen->height_in_pixels - rest.h) / 2) <= 2;
        program.mapMillis.push_back(mapMillis);
        program.millis.push_back(millis);
        program.rssMb.push_back(rss);
        program.places.push_back(static_cast<int>(places.size()));
        program.centred += centred;
        if (std::getenv("STARTUP_BENCH_VERBOSE") != nullptr) {
            std::fprintf(stderr, "%s map %.1f ms:", program.label.c_str(), mapMillis);
            for (const Rect& r : places) std::fprintf(stderr, " %d,%d %dx%d", r.x, r.y, r.w, r.h);
            std::fprintf(stderr, "%s\n", centred ? "" : " (not centred)");
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS LABEL=PROGRAM...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos) return 2;
        Program program;
        program.label = arg.substr(0, eq);
        program.path = arg.substr(eq + 1);
        programs.push_back(program);
    }

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot connect to the X server (DISPLAY=%s)\n", std::getenv("DISPLAY"));
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // Substructure: new top-level windows being mapped. Structure: Qt sends
    // its answer to the ping to the root window for clients that select
    // StructureNotify or SubstructureRedirect there.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const Atoms atoms{intern(c, "WM_PROTOCOLS"), intern(c, "_NET_WM_PING"), intern(c, "_NET_WM_PID"),
                      intern(c, "_NET_FRAME_EXTENTS")};
    xcb_flush(c);

    // One unrecorded round warms the caches, then the programs take turns.
    for (Program& p : programs)
        if (!measure(c, root, atoms, p, false)) return 1;
    for (int r = 0; r < runs; ++r) {
        for (Program& p : programs)
            if (!measure(c, root, atoms, p, true)) return 1;
    }

    for (const Program& p : programs) {
        std::printf("startup %s median_ms %.1f min_ms %.1f max_ms %.1f median_rss_mb %.1f runs %zu "
                    "median_map_ms %.1f centred %d most_places %d moved_runs %ld\n",
                    p.label.c_str(), median(p.millis), *std::min_element(p.millis.begin(), p.millis.end()),
                    *std::max_element(p.millis.begin(), p.millis.end()), median(p.rssMb), p.millis.size(),
                    median(p.mapMillis), p.centred, *std::max_element(p.places.begin(), p.places.end()),
                    std::count_if(p.places.begin(), p.places.end(), [](int n) { return n > 1; }));
    }
    xcb_disconnect(c);
    return 0;
}
