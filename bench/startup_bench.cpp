// Start-up as a user sees it, on a real X server: the time from starting a
// program to its window being mapped and answering the window manager's
// ping, and its resident memory at that moment.
//
// The ping (_NET_WM_PING) is answered from the program's event loop, which
// the game enters only after its load step has read the levels and the skin,
// so the answer marks "shown with its data loaded" without any help from the
// program. Programs are run in turn, alternating, and the median is printed.
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
    std::vector<double> millis;
    std::vector<double> rssMb;
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return atom;
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

// Starts `program`, waits for its window and the answer to the ping.
// Returns false when the program failed to show a window in time.
bool measure(xcb_connection_t* c, xcb_window_t root, xcb_atom_t protocols, xcb_atom_t ping, Program& program,
             bool record) {
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

    xcb_window_t window = XCB_NONE;
    bool answered = false;
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
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (e == nullptr) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 5);
            continue;
        }
        const auto type = e->response_type & 0x7F;
        if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
            if (!map->override_redirect) {
                window = map->window;
                xcb_client_message_event_t msg{};
                msg.response_type = XCB_CLIENT_MESSAGE;
                msg.format = 32;
                msg.window = window;
                msg.type = protocols;
                msg.data.data32[0] = ping;
                msg.data.data32[1] = XCB_CURRENT_TIME;
                msg.data.data32[2] = window;
                xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&msg));
                xcb_flush(c);
            }
        } else if (type == XCB_CLIENT_MESSAGE && window != XCB_NONE) {
            const auto* msg = reinterpret_cast<xcb_client_message_event_t*>(e);
            if (msg->window == root && msg->type == protocols && msg->data.data32[0] == ping &&
                msg->data.data32[2] == window) {
                millis = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                rss = residentMb(pid);
                answered = true;
            }
        }
        std::free(e);
    }

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!answered) {
        std::fprintf(stderr, "%s: no %s within 20 s\n", program.label.c_str(),
                     window == XCB_NONE ? "window" : "answer to the ping");
        return false;
    }
    if (record) {
        program.millis.push_back(millis);
        program.rssMb.push_back(rss);
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
        programs.push_back({arg.substr(0, eq), arg.substr(eq + 1), {}, {}});
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
    const xcb_atom_t protocols = intern(c, "WM_PROTOCOLS");
    const xcb_atom_t ping = intern(c, "_NET_WM_PING");
    xcb_flush(c);

    // One unrecorded round warms the caches, then the programs take turns.
    for (Program& p : programs)
        if (!measure(c, root, protocols, ping, p, false)) return 1;
    for (int r = 0; r < runs; ++r) {
        for (Program& p : programs)
            if (!measure(c, root, protocols, ping, p, true)) return 1;
    }

    for (const Program& p : programs) {
        std::printf("startup %s median_ms %.1f min_ms %.1f max_ms %.1f median_rss_mb %.1f runs %zu\n",
                    p.label.c_str(), median(p.millis), *std::min_element(p.millis.begin(), p.millis.end()),
                    *std::max_element(p.millis.begin(), p.millis.end()), median(p.rssMb), p.millis.size());
    }
    xcb_disconnect(c);
    return 0;
}
