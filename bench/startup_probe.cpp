// Measures how long a program takes from process start until its first top-level window is mapped
// on the X display, how much memory it had taken by then (peak RSS), and how much processor time (user
// and system) it had used: on a shared, busy machine the processor time varies far less than the
// wall time. Run on a quiet display:
//   startup_probe PROGRAM [ARGS...]   prints: "<milliseconds> <peak RSS in KiB> <CPU milliseconds>"
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            break;
        }
    }
    const auto mapped = std::chrono::steady_clock::now();
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    std::printf("%.1f %ld %.1f\n", std::chrono::duration<double, std::milli>(mapped - start).count(),
                usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime));
    XCloseDisplay(display);
    return 0;
}
