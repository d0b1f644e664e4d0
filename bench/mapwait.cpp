// Starts a program on the current X display and measures, from the moment before the process
// is created, how long it takes until its first window is mapped. Then waits SETTLE-MS, reads
// the process's resident memory and ends it. Prints "<milliseconds> <resident kB>".
//
// usage: mapwait SETTLE-MS PROGRAM [ARGS...]
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SETTLE-MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int settle = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    bool mapped = false;
    const auto deadline = start + std::chrono::seconds(20);
    while (!mapped && std::chrono::steady_clock::now() < deadline) {
        while (!mapped && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            mapped = event.type == MapNotify;
        }
        if (!mapped) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 50);
        }
    }
    const auto shown = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(settle));
    const long resident = residentKilobytes(child);
    kill(child, SIGTERM);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    XCloseDisplay(display);
    if (!mapped) {
        std::fprintf(stderr, "no window was mapped\n");
        return 1;
    }
    std::printf("%.2f %ld\n", std::chrono::duration<double, std::milli>(shown - start).count(),
                resident);
    return 0;
}
