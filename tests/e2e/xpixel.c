/* Watches one pixel of the screen every 10 ms, faster than a screenshot tool can, and prints
 * "MS RRGGBB" (wall-clock milliseconds) whenever its colour changes. Stops after SECONDS, or at
 * the first sample of STOP-COLOUR.
 * Usage: e2e_xpixel X Y SECONDS [STOP-COLOUR] */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long nowMs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

int main(int argc, char** argv)
{
    Display* display = argc == 4 || argc == 5 ? XOpenDisplay(NULL) : NULL;
    if (!display)
        return 2;
    const long long end = nowMs() + atoll(argv[3]) * 1000;
    const char* stop = argc == 5 ? argv[4] : NULL;
    char colour[8] = "", last[8] = "";
    while (nowMs() < end && !(stop && strcmp(colour, stop) == 0)) {
        XImage* image = XGetImage(display, DefaultRootWindow(display), atoi(argv[1]), atoi(argv[2]), 1, 1,
                                  AllPlanes, ZPixmap);
        if (image) {
            snprintf(colour, sizeof colour, "%06lx", XGetPixel(image, 0, 0) & 0xFFFFFF);
            XDestroyImage(image);
        }
        if (strcmp(colour, last) != 0)
            printf("%lld %s\n", nowMs(), strcpy(last, colour));
        nanosleep(&(struct timespec){0, 10000000}, NULL);
    }
    XCloseDisplay(display);
    return 0;
}
