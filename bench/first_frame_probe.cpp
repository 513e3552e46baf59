// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program on the X display named by DISPLAY and watches it from outside, as the X
// server sees it: the time from the start of the process until its top-level window is mapped
// and until the window first receives drawn content, then closes the window as a window manager
// would and reports the peak resident memory of the process.
//
//   first_frame_probe [--settle-ms N] <program> [arguments...]
//
// prints one line: "<ms to map> <ms to first frame> <peak RSS in KiB> <CPU ms>". The CPU time
// (user and system, of the whole run) is disturbed far less by a busy machine than the
// wall-clock times. The program needs no code of its own for this: the X server's Damage
// extension reports the first drawing into the window, and the window is told to close through
// WM_DELETE_WINDOW, so the program ends the way it ends when a user closes it.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kGiveUpAfter = std::chrono::seconds(30);
constexpr auto kExitGrace = std::chrono::seconds(10);

double millisecondsSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "first_frame_probe: %s\n", why.c_str());
    std::exit(2);
}

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const auto length = static_cast<std::uint16_t>(std::strlen(name));
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, length, name), nullptr),
        &std::free);
    if (!reply) {
        fail(std::string("cannot intern atom ") + name);
    }
    return reply->atom;
}

// The process id the toolkit stores on its windows; Qt sets it on every top-level window.
std::optional<pid_t> windowPid(xcb_connection_t* connection, xcb_window_t window,
                               xcb_atom_t netWmPid) {
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1),
            nullptr),
        &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) != 4) {
        return std::nullopt;
    }
    return static_cast<pid_t>(
        *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
}

struct Options {
    int settleMs = 250;
    std::vector<char*> command;
};

Options parseOptions(int argc, char* argv[]) {
    Options options;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--settle-ms") == 0) {
        options.settleMs = std::atoi(argv[i + 1]);
        i += 2;
    }
    if (i >= argc) {
        fail("usage: first_frame_probe [--settle-ms N] <program> [arguments...]");
    }
    options.command.assign(argv + i, argv + argc);
    options.command.push_back(nullptr);
    return options;
}

struct Outcome {
    bool exited = false;
    int status = 0;
    rusage usage{};
};

Outcome reap(pid_t child, int flags) {
    Outcome outcome;
    const pid_t done = wait4(child, &outcome.status, flags, &outcome.usage);
    outcome.exited = done == child;
    return outcome;
}

} // namespace

int main(int argc, char* argv[]) {
    const Options options = parseOptions(argc, argv);

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        fail("cannot connect to the X display in DISPLAY");
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0) {
        fail("the X server has no Damage extension");
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1),
                                             nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t netWmPid = internAtom(connection, "_NET_WM_PID");
    const xcb_atom_t wmProtocols = internAtom(connection, "WM_PROTOCOLS");
    const xcb_atom_t wmDeleteWindow = internAtom(connection, "WM_DELETE_WINDOW");

    // Every top-level window created, mapped or destroyed from now on is reported to us.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, options.command[0], nullptr, nullptr, options.command.data(),
                     environ) != 0) {
        fail(std::string("cannot start ") + options.command[0]);
    }

    // A damage record on each new top-level window before it can be drawn into; drawing into a
    // window only becomes visible once it is mapped, so the first report after the map is the
    // first frame on screen.
    xcb_window_t window = XCB_NONE;
    std::optional<Clock::time_point> mapped;
    std::optional<Clock::time_point> firstFrame;
    const int fd = xcb_get_file_descriptor(connection);
    while (!firstFrame) {
        if (Clock::now() - start > kGiveUpAfter) {
            kill(child, SIGKILL);
            fail("no frame within the time limit");
        }
        pollfd waitFor{fd, POLLIN, 0};
        poll(&waitFor, 1, 20);
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection)) {
            const Clock::time_point now = Clock::now();
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
            const std::uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(raw);
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(connection);
            } else if (type == XCB_MAP_NOTIFY && !mapped) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(raw);
                if (windowPid(connection, map->window, netWmPid) == child) {
                    window = map->window;
                    mapped = now;
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY && mapped) {
                const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(raw);
                if (drawn->drawable == window) {
                    firstFrame = now;
                    break;
                }
            }
        }
        if (xcb_connection_has_error(connection) != 0) {
            fail("lost the X connection");
        }
        if (!firstFrame && reap(child, WNOHANG).exited) {
            fail("the program ended before showing a frame");
        }
    }

    // Let the program finish what it does right after its first frame, so the peak memory is
    // that of a program that has started, not one caught halfway.
    const Clock::time_point settled = *firstFrame + std::chrono::milliseconds(options.settleMs);
    while (Clock::now() < settled) {
        usleep(5000);
    }

    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = wmProtocols;
    close.data.data32[0] = wmDeleteWindow;
    close.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&close));
    xcb_flush(connection);

    Outcome outcome;
    const Clock::time_point closing = Clock::now();
    while (!(outcome = reap(child, WNOHANG)).exited) {
        if (Clock::now() - closing > kExitGrace) {
            kill(child, SIGKILL);
            fail("the program did not end when its window was closed");
        }
        usleep(2000);
    }
    xcb_disconnect(connection);
    if (!WIFEXITED(outcome.status) || WEXITSTATUS(outcome.status) != 0) {
        fail("the program did not end cleanly");
    }

    const auto cpuMs = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    // ru_maxrss is in KiB on Linux.
    std::printf("%.2f %.2f %ld %.2f\n", millisecondsSince(start, *mapped),
                millisecondsSince(start, *firstFrame), outcome.usage.ru_maxrss,
                cpuMs(outcome.usage.ru_utime) + cpuMs(outcome.usage.ru_stime));
    return 0;
}
