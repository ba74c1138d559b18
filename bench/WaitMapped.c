/* Starts a program and prints the milliseconds until it maps a top-level window of the
 * given size on the X server in DISPLAY, then the processor time it used by then (user and
 * system, all threads: less swayed by a busy machine); then ends the program.
 * Usage: wait_mapped WIDTH HEIGHT PROGRAM [ARGS...] */
#include <X11/Xlib.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: wait_mapped WIDTH HEIGHT PROGRAM [ARGS...]\n");
        return 2;
    }
    const int width = atoi(argv[1]);
    const int height = atoi(argv[2]);
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wait_mapped: no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = now_ms();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    int found = 0;
    while (!found && now_ms() - start < 30000) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, event.xmap.window, &attributes) && attributes.width == width
            && attributes.height == height)
            found = 1;
    }
    const double elapsed = now_ms() - start;
    /* Stopped first, so that the processor time is what it took to get there. */
    kill(child, SIGSTOP);
    kill(child, SIGKILL);
    struct rusage usage;
    memset(&usage, 0, sizeof usage);
    wait4(child, NULL, 0, &usage);
    XCloseDisplay(display);
    if (!found)
        return 1;
    const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    printf("%.1f %.1f\n", elapsed, cpu);
    return 0;
}
