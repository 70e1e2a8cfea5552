/* A stand-in libXinerama.so.1 for the several-monitor tests. Wine reads its
 * monitors from Xinerama when its XRandR use is off; this library reports
 * the layout in the environment variable SAVER_MONITORS, "WxH+X+Y" for each
 * monitor, separated by commas, the primary first (X and Y may be negative).
 * Built without the C library's headers, so the 32-bit one can be made on a
 * machine without 32-bit development files; malloc comes from the process.
 */
typedef struct {
    int screen_number;
    short x_org, y_org, width, height;
} XineramaScreenInfo;
typedef struct _XDisplay Display;

extern void* malloc(__SIZE_TYPE__ size);
extern char* getenv(const char* name);

#define MOST_MONITORS 16

static int ReadNumber(const char** text, int* value)
{
    int sign = 1, digits = 0, number = 0;
    if (**text == '-' || **text == '+') {
        if (**text == '-') sign = -1;
        ++*text;
    }
    while (**text >= '0' && **text <= '9') {
        number = number * 10 + (**text - '0');
        ++*text;
        ++digits;
    }
    *value = sign * number;
    return digits > 0;
}

static int ReadLayout(XineramaScreenInfo* screens)
{
    const char* text = getenv("SAVER_MONITORS");
    int count = 0;
    if (text == 0) return 0;
    while (*text != 0 && count < MOST_MONITORS) {
        int w, h, x, y;
        if (!ReadNumber(&text, &w) || *text++ != 'x' || !ReadNumber(&text, &h) || !ReadNumber(&text, &x) || !ReadNumber(&text, &y))
            return 0;
        screens[count].screen_number = count;
        screens[count].x_org = (short)x;
        screens[count].y_org = (short)y;
        screens[count].width = (short)w;
        screens[count].height = (short)h;
        ++count;
        if (*text == ',') ++text;
    }
    return count;
}

int XineramaQueryExtension(Display* display, int* event_base, int* error_base)
{
    (void)display;
    *event_base = 0;
    *error_base = 0;
    return 1;
}

int XineramaQueryVersion(Display* display, int* major, int* minor)
{
    (void)display;
    *major = 1;
    *minor = 1;
    return 1;
}

int XineramaIsActive(Display* display)
{
    XineramaScreenInfo screens[MOST_MONITORS];
    (void)display;
    return ReadLayout(screens) > 0;
}

XineramaScreenInfo* XineramaQueryScreens(Display* display, int* number)
{
    XineramaScreenInfo screens[MOST_MONITORS];
    const int count = ReadLayout(screens);
    XineramaScreenInfo* copy;
    int i;
    (void)display;
    *number = 0;
    if (count == 0) return 0;
    copy = (XineramaScreenInfo*)malloc(sizeof(XineramaScreenInfo) * (__SIZE_TYPE__)count);
    if (copy == 0) return 0;
    for (i = 0; i < count; ++i) copy[i] = screens[i];
    *number = count;
    return copy;
}
