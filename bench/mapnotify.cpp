// SPDX-License-Identifier: MIT
// Starts a program and prints "map_ms=…", the milliseconds from just before its exec to the
// MapNotify of its first top-level window, then ends it. It watches the root window only, so it
// measures on an X server without a window manager (a manager would reparent the window first).
//   bench_mapnotify PROGRAM [ARGS...]
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the mask is in force before the program starts.
    if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error{
            xcb_request_check(connection, xcb_change_window_attributes_checked(
                                              connection, root, XCB_CW_EVENT_MASK, &mask)),
            &std::free}) {
        std::fprintf(stderr, "cannot watch the root window\n");
        return 1;
    }

    const double started = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const bool map = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                         !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
        std::free(event);
        if (map) {
            mapped = nowMs() - started;
            break;
        }
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    xcb_disconnect(connection);
    if (mapped < 0) {
        std::fprintf(stderr, "the program mapped no window\n");
        return 1;
    }
    std::printf("map_ms=%.3f\n", mapped);
    return 0;
}
