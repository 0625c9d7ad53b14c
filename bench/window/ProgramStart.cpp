#include "ProgramStart.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "ProcField.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return a;
}

// The process that says it owns the window, or 0.
pid_t ownerOf(xcb_connection_t* c, xcb_window_t window, xcb_atom_t wmPid) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, wmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t pid = 0;
    if (reply && xcb_get_property_value_length(reply) == 4) {
        pid = static_cast<pid_t>(*static_cast<std::uint32_t*>(xcb_get_property_value(reply)));
    }
    std::free(reply);
    return pid;
}

// The window an event says can now be seen, or 0. Xvfb tells a watcher that a newly mapped
// window is visible but sends the Expose only to its owner; other servers send both.
xcb_window_t shownWindow(const xcb_generic_event_t* event) {
    switch (event->response_type & 0x7f) {
        case XCB_EXPOSE:
            return reinterpret_cast<const xcb_expose_event_t*>(event)->window;
        case XCB_VISIBILITY_NOTIFY: {
            const auto* v = reinterpret_cast<const xcb_visibility_notify_event_t*>(event);
            return v->state != XCB_VISIBILITY_FULLY_OBSCURED ? v->window : 0;
        }
        default:
            return 0;
    }
}

void endChild(pid_t pid, int timeoutMs) {
    ::kill(pid, SIGTERM);
    const auto limit = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > limit) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return;
        }
        ::poll(nullptr, 0, 10);
    }
}

}  // namespace

ProgramStartResult timeProgramStart(const std::string& program,
                                    const std::vector<std::string>& arguments, int timeoutMs) {
    ProgramStartResult result;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        result.failure = "cannot connect to the X display";
        return result;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t wmPid = atom(c, "_NET_WM_PID");
    // New top-level windows are announced on the root; each is then watched for its Expose.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootEvents);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // in effect now

    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = Clock::now();
    pid_t pid = 0;
    if (const int err = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
        err != 0) {
        xcb_disconnect(c);
        result.failure = "cannot start " + program + ": " + std::strerror(err);
        return result;
    }

    std::map<xcb_window_t, pid_t> owners;
    const auto limit = start + std::chrono::milliseconds(timeoutMs);
    const int fd = xcb_get_file_descriptor(c);
    while (!result.shown && result.failure.empty()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const auto arrived = Clock::now();
            const auto type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (created->parent == root) {
                    const std::uint32_t events =
                        XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_VISIBILITY_CHANGE;
                    xcb_change_window_attributes(c, created->window, XCB_CW_EVENT_MASK, &events);
                    xcb_flush(c);
                }
            } else if (const xcb_window_t window = shownWindow(event); window != 0) {
                auto known = owners.find(window);
                if (known == owners.end()) {
                    known = owners.emplace(window, ownerOf(c, window, wmPid)).first;
                }
                if (known->second == pid) {
                    result.shown = true;
                    result.msToShown =
                        std::chrono::duration<double, std::milli>(arrived - start).count();
                    result.rssKiB = rssKiBOf(pid);
                }
            }
            std::free(event);
        }
        if (result.shown)
            break;
        if (xcb_connection_has_error(c)) {
            result.failure = "the X connection broke";
            break;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            result.failure = "the program ended before its window was shown";
            pid = 0;
            break;
        }
        if (Clock::now() > limit) {
            result.failure = "no window shown within the time limit";
            break;
        }
        pollfd readable{fd, POLLIN, 0};
        ::poll(&readable, 1, 20);  // wakes at once on an event; the 20 ms only for the checks
    }
    if (pid != 0)
        endChild(pid, timeoutMs);
    xcb_disconnect(c);
    return result;
}
