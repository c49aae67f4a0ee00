/* A stand-in for libXinerama.so.1, built natively for the tests of several
 * monitors: found first through LD_LIBRARY_PATH, it makes Wine see two
 * monitors side by side on one wide X screen (which must run without the
 * RANDR extension, or Wine takes its monitors from there): the primary,
 * 1024 x 768 at 0,0, and a second one, 800 x 600 at 1024,0.
 *
 * Built for 64 bits and for 32 bits (the 32-bit Wine processes load their
 * own): it needs no C library headers or start files, so that a 32-bit
 * build needs no 32-bit development files; calloc comes from the C library
 * that every process has loaded. */
void *calloc(__SIZE_TYPE__ count, __SIZE_TYPE__ size);

typedef struct {
    int screen_number;
    short x_org, y_org, width, height;
} XineramaScreenInfo;

int XineramaQueryExtension(void *display, int *event_base, int *error_base) {
    (void)display;
    if (event_base) *event_base = 0;
    if (error_base) *error_base = 0;
    return 1;
}

int XineramaQueryVersion(void *display, int *major, int *minor) {
    (void)display;
    if (major) *major = 1;
    if (minor) *minor = 1;
    return 1;
}

int XineramaIsActive(void *display) {
    (void)display;
    return 1;
}

/* Freed by the caller with XFree, which is free. */
XineramaScreenInfo *XineramaQueryScreens(void *display, int *number) {
    static const XineramaScreenInfo heads[] = {{0, 0, 0, 1024, 768}, {1, 1024, 0, 800, 600}};
    XineramaScreenInfo *screens = calloc(2, sizeof heads[0]);
    (void)display;
    if (!screens) {
        if (number) *number = 0;
        return 0;
    }
    screens[0] = heads[0];
    screens[1] = heads[1];
    if (number) *number = 2;
    return screens;
}
