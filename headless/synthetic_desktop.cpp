#include "headless/synthetic_desktop.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Glyph {
    char c;
    std::uint8_t rows[7];
};

const Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {';', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}}, {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}}, {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'[', {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E}}, {']', {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E}},
    {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}}, {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
    {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}}, {'\'', {0x0C, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
    {'"', {0x0A, 0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00}}, {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
    {'*', {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}}, {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}}, {'@', {0x0E, 0x11, 0x01, 0x0D, 0x15, 0x15, 0x0E}},
    {'$', {0x04, 0x0F, 0x14, 0x0E, 0x05, 0x1E, 0x04}},
};

using Color = std::uint32_t; // 0xRRGGBB

constexpr Color Rgb(int r, int g, int b)
{
    return (static_cast<Color>(r & 0xFF) << 16) | (static_cast<Color>(g & 0xFF) << 8) | static_cast<Color>(b & 0xFF);
}

// Half-open rectangle.
struct Rect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

Rect Intersect(const Rect& a, const Rect& b)
{
    Rect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    if (r.x1 < r.x0) r.x1 = r.x0;
    if (r.y1 < r.y0) r.y1 = r.y0;
    return r;
}

Rect Inset(const Rect& r, int d) { return Rect{r.x0 + d, r.y0 + d, r.x1 - d, r.y1 - d}; }

// Every pixel write goes through Fill, which clips to the current clip
// rectangle (itself always inside the image).
class Canvas {
public:
    explicit Canvas(RgbImage& image) : image_(image), clip_{0, 0, image.width, image.height}, full_(clip_) {}

    void SetClip(const Rect& r) { clip_ = Intersect(r, full_); }
    void ResetClip() { clip_ = full_; }
    const Rect& Clip() const { return clip_; }

    void Fill(const Rect& r, Color c)
    {
        const Rect d = Intersect(r, clip_);
        for (int y = d.y0; y < d.y1; ++y) {
            std::uint8_t* p = Row(y) + static_cast<std::size_t>(d.x0) * 3;
            for (int x = d.x0; x < d.x1; ++x, p += 3) Store(p, c);
        }
    }

    // Top-to-bottom blend from a to b over r; horizontal when across is set.
    void Gradient(const Rect& r, Color a, Color b, bool across)
    {
        const Rect d = Intersect(r, clip_);
        const int span = std::max(across ? r.Width() - 1 : r.Height() - 1, 1);
        for (int y = d.y0; y < d.y1; ++y) {
            std::uint8_t* p = Row(y) + static_cast<std::size_t>(d.x0) * 3;
            for (int x = d.x0; x < d.x1; ++x, p += 3) Store(p, Mix(a, b, across ? x - r.x0 : y - r.y0, span));
        }
    }

    // Raised (or sunken) edge of thickness t around r.
    void Bevel(const Rect& r, int t, bool raised)
    {
        const Color light = raised ? Rgb(255, 255, 255) : Rgb(128, 128, 128);
        const Color dark = raised ? Rgb(64, 64, 64) : Rgb(255, 255, 255);
        Fill(Rect{r.x0, r.y0, r.x1, r.y0 + t}, light);
        Fill(Rect{r.x0, r.y0, r.x0 + t, r.y1}, light);
        Fill(Rect{r.x0, r.y1 - t, r.x1, r.y1}, dark);
        Fill(Rect{r.x1 - t, r.y0, r.x1, r.y1}, dark);
    }

    // Text with its top-left corner at (x, y), glyph pixels scale x scale.
    // Returns the x after the last character.
    int Text(int x, int y, int scale, const char* text, Color c)
    {
        std::uint8_t rows[7];
        for (const char* p = text; *p != '\0'; ++p, x += 6 * scale) {
            if (x >= clip_.x1) break; // nothing further is visible
            if (!FontGlyph(*p, rows)) continue;
            for (int gy = 0; gy < 7; ++gy) {
                for (int gx = 0; gx < 5; ++gx) {
                    if (rows[gy] & (0x10 >> gx))
                        Fill(Rect{x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale}, c);
                }
            }
        }
        return x;
    }

    static Color Mix(Color a, Color b, int num, int den)
    {
        num = std::min(std::max(num, 0), den);
        auto ch = [&](int shift) {
            const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
            return (ca + (cb - ca) * num / den) & 0xFF;
        };
        return Rgb(ch(16), ch(8), ch(0));
    }

private:
    std::uint8_t* Row(int y) { return &image_.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.width) * 3]; }
    static void Store(std::uint8_t* p, Color c)
    {
        p[0] = static_cast<std::uint8_t>(c >> 16);
        p[1] = static_cast<std::uint8_t>(c >> 8);
        p[2] = static_cast<std::uint8_t>(c);
    }

    RgbImage& image_;
    Rect clip_;
    Rect full_;
};

// Sizes: one unit is a glyph pixel; 1 below 810 lines, 2 at 1080, 4 at 2160.
struct Metrics {
    int s = 1;
    int charW = 6, charH = 8;
    int Line() const { return charH + 2 * s; }
};

void DrawWallpaper(Canvas& canvas, int width, int height, int skyBottom)
{
    const Rect sky{0, 0, width, skyBottom};
    canvas.Gradient(sky, Rgb(30, 70, 140), Rgb(120, 170, 200), false);
    // Rolling hills: a piecewise-linear horizon, darker green further down.
    const int period = std::max(width / 3, 1);
    const int amplitude = std::max(height / 14, 1);
    const int base = height * 3 / 5;
    for (int x = 0; x < width; ++x) {
        const int phase = x % period;
        const int tri = phase < period / 2 ? phase : period - phase; // 0..period/2
        const int horizon = base - static_cast<int>(static_cast<long long>(tri) * 2 * amplitude / std::max(period / 2, 1)) + amplitude;
        canvas.Gradient(Rect{x, horizon, x + 1, skyBottom}, Rgb(70, 150, 60), Rgb(20, 80, 30), false);
    }
    // A sun: a filled disc.
    const int r = std::max(std::min(width, height) / 12, 1);
    const int cx = width * 4 / 5, cy = height / 6;
    for (int dy = -r; dy <= r; ++dy) {
        int half = static_cast<int>(std::sqrt(static_cast<double>(r * r - dy * dy)));
        while (half > 0 && half * half + dy * dy > r * r) --half;
        while ((half + 1) * (half + 1) + dy * dy <= r * r) ++half;
        canvas.Fill(Rect{cx - half, cy + dy, cx + half + 1, cy + dy + 1}, Rgb(250, 230, 140));
    }
}

struct IconInfo {
    const char* label;
    Color color;
};

void DrawIcons(Canvas& canvas, const Metrics& m, int bottom)
{
    static const IconInfo kIcons[] = {
        {"My Files", Rgb(230, 190, 60)}, {"Trash", Rgb(170, 170, 180)}, {"Network", Rgb(60, 140, 220)},
        {"Notes", Rgb(240, 240, 230)},   {"Mail", Rgb(220, 90, 70)},     {"Games", Rgb(110, 200, 110)},
    };
    const int icon = 24 * m.s;
    const int cell = 14 * m.charW; // wide enough for a label
    const int pitch = icon + m.Line() + 10 * m.s;
    int y = 6 * m.s;
    for (const IconInfo& info : kIcons) {
        if (y + pitch > bottom) break;
        const int x = 6 * m.s + (cell - icon) / 2;
        // A folder-like shape: a tab, a body and a darker outline.
        canvas.Fill(Rect{x, y + icon / 8, x + icon / 2, y + icon / 4 + 1}, Canvas::Mix(info.color, 0, 1, 3));
        canvas.Fill(Rect{x, y + icon / 4, x + icon, y + icon}, Canvas::Mix(info.color, 0, 1, 3));
        canvas.Fill(Rect{x + m.s, y + icon / 4 + m.s, x + icon - m.s, y + icon - m.s}, info.color);
        const int labelWidth = static_cast<int>(std::strlen(info.label)) * m.charW;
        const int lx = 6 * m.s + (cell - labelWidth) / 2;
        const int ly = y + icon + 3 * m.s;
        canvas.Text(lx + m.s, ly + m.s, m.s, info.label, Rgb(0, 0, 0)); // shadow
        canvas.Text(lx, ly, m.s, info.label, Rgb(255, 255, 255));
        y += pitch;
    }
}

enum class ClientKind { Document, Console, List };

struct WindowInfo {
    // Position in thousandths of the area above the taskbar.
    int left, top, right, bottom;
    const char* title;
    ClientKind kind;
    bool active;
};

const char* const kDocumentLines[] = {
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG.",
    "Sphinx of black quartz, judge my vow!",
    "Meeting notes: room 4 at 10:30, bring the slides.",
    "TODO: fix the build; write tests; ship it.",
    "Budget (draft): 1,250 + 3,400 = 4,650 $",
    "0123456789 +-*/= () [] <> #%&@",
    "",
    "Dear team, thanks for the quick answers.",
    "The new release goes out next week.",
};

const char* const kConsoleLines[] = {
    "$ ls -l /home/user",
    "total 24",
    "drwxr-xr-x 2 user user 4096 notes",
    "-rw-r--r-- 1 user user  812 readme.txt",
    "$ make -j2",
    "[ 50%] Building object main.o",
    "[100%] Built target demo",
    "$ ./demo --help",
    "usage: demo [options] file...",
};

const char* const kListLines[] = {
    "Alice     Lunch on Friday?      10/04",
    "Bob       Re: budget 2024       10/03",
    "Carol     Photos from the trip  10/02",
    "Dave      Server maintenance    10/01",
    "Erin      Re: Re: slides        09/30",
    "Frank     Weekly report         09/29",
};

void DrawButtonGlyph(Canvas& canvas, const Rect& b, int s, int which)
{
    const int pad = std::max(b.Height() / 4, s);
    const Rect in{b.x0 + pad, b.y0 + pad, b.x1 - pad, b.y1 - pad};
    const Color ink = Rgb(0, 0, 0);
    if (which == 0) { // minimise: a bar at the bottom
        canvas.Fill(Rect{in.x0, in.y1 - s, in.x1, in.y1}, ink);
    } else if (which == 1) { // maximise: a box with a thick top
        canvas.Fill(Rect{in.x0, in.y0, in.x1, in.y0 + 2 * s}, ink);
        canvas.Fill(Rect{in.x0, in.y0, in.x0 + s, in.y1}, ink);
        canvas.Fill(Rect{in.x1 - s, in.y0, in.x1, in.y1}, ink);
        canvas.Fill(Rect{in.x0, in.y1 - s, in.x1, in.y1}, ink);
    } else { // close: a cross
        const int n = std::min(in.Width(), in.Height());
        for (int i = 0; i < n; ++i) {
            canvas.Fill(Rect{in.x0 + i, in.y0 + i, in.x0 + i + s, in.y0 + i + 1}, ink);
            canvas.Fill(Rect{in.x0 + n - 1 - i, in.y0 + i, in.x0 + n - 1 - i + s, in.y0 + i + 1}, ink);
        }
    }
}

void DrawWindow(Canvas& canvas, const Metrics& m, const Rect& frame, const WindowInfo& info)
{
    const int s = m.s;
    const Color face = Rgb(192, 192, 192);
    canvas.SetClip(frame);
    canvas.Fill(frame, face);
    canvas.Bevel(frame, s, true);

    const Rect title{frame.x0 + 3 * s, frame.y0 + 3 * s, frame.x1 - 3 * s, frame.y0 + 3 * s + m.charH + 4 * s};
    if (info.active) canvas.Gradient(title, Rgb(0, 0, 128), Rgb(16, 132, 208), true);
    else canvas.Gradient(title, Rgb(128, 128, 128), Rgb(180, 180, 190), true);

    // Caption buttons from the right: close, then maximise, then minimise.
    const int bh = title.Height() - 4 * s;
    const int bw = bh + 2 * s;
    int bx = title.x1 - 2 * s - bw;
    Rect buttonsLeft = title;
    for (int which = 2; which >= 0; --which) {
        const Rect b{bx, title.y0 + 2 * s, bx + bw, title.y0 + 2 * s + bh};
        canvas.Fill(b, face);
        canvas.Bevel(b, s, true);
        DrawButtonGlyph(canvas, b, s, which);
        buttonsLeft.x1 = b.x0;
        bx -= bw + (which == 2 ? 2 * s : 0);
    }
    canvas.SetClip(Intersect(Rect{title.x0, title.y0, buttonsLeft.x1 - s, title.y1}, frame));
    canvas.Text(title.x0 + 3 * s, title.y0 + 2 * s, s, info.title, Rgb(255, 255, 255));
    canvas.SetClip(frame);

    // Menu bar.
    const Rect menu{title.x0, title.y1 + s, title.x1, title.y1 + s + m.Line()};
    canvas.Text(menu.x0 + 3 * s, menu.y0 + s, s, "File  Edit  View  Help", Rgb(0, 0, 0));

    // Client area with a sunken edge, filled with lines of text.
    const Rect client{title.x0, menu.y1 + s, title.x1, frame.y1 - 3 * s};
    const bool dark = info.kind == ClientKind::Console;
    canvas.Fill(client, dark ? Rgb(0, 0, 0) : Rgb(255, 255, 255));
    canvas.Bevel(client, s, false);
    const Rect inner = Intersect(Inset(client, 2 * s), frame);
    canvas.SetClip(inner);
    const char* const* lines = kDocumentLines;
    int count = static_cast<int>(sizeof kDocumentLines / sizeof *kDocumentLines);
    if (info.kind == ClientKind::Console) {
        lines = kConsoleLines;
        count = static_cast<int>(sizeof kConsoleLines / sizeof *kConsoleLines);
    } else if (info.kind == ClientKind::List) {
        lines = kListLines;
        count = static_cast<int>(sizeof kListLines / sizeof *kListLines);
        // A header row and a selected entry.
        canvas.Fill(Rect{inner.x0, inner.y0, inner.x1, inner.y0 + m.Line()}, face);
        canvas.Text(inner.x0 + 2 * s, inner.y0 + s, s, "From      Subject               Date", Rgb(0, 0, 0));
        canvas.Fill(Rect{inner.x0, inner.y0 + 2 * m.Line(), inner.x1, inner.y0 + 3 * m.Line()}, Rgb(0, 0, 128));
    }
    int y = inner.y0 + s + (info.kind == ClientKind::List ? m.Line() : 0);
    for (int i = 0; y < inner.y1; ++i, y += m.Line()) {
        Color ink = dark ? Rgb(200, 200, 200) : Rgb(0, 0, 0);
        if (info.kind == ClientKind::List && i == 1) ink = Rgb(255, 255, 255);
        canvas.Text(inner.x0 + 2 * s, y, s, lines[i % count], ink);
    }
    canvas.ResetClip();
}

void DrawTaskbar(Canvas& canvas, const Metrics& m, int width, int top, int height, const WindowInfo* windows, int count)
{
    const int s = m.s;
    const Color face = Rgb(192, 192, 192);
    const Rect bar{0, top, width, height};
    canvas.Fill(bar, face);
    canvas.Fill(Rect{0, top + s, width, top + 2 * s}, Rgb(255, 255, 255));
    const int by0 = top + 3 * s, by1 = height - 2 * s;
    int x = 2 * s;
    const Rect menuButton{x, by0, x + 6 * m.charW + 4 * s, by1};
    canvas.Bevel(menuButton, s, true);
    canvas.Text(menuButton.x0 + 3 * s, by0 + 2 * s, s, "MENU", Rgb(0, 0, 0));
    x = menuButton.x1 + 4 * s;

    const Rect tray{width - 7 * m.charW, by0, width - 2 * s, by1};
    const int buttonWidth = 22 * m.charW;
    for (int i = 0; i < count; ++i) {
        const Rect b{x, by0, std::min(x + buttonWidth, tray.x0 - 2 * s), by1};
        if (b.Width() <= 2 * s) break;
        if (windows[i].active) canvas.Fill(Inset(b, s), Rgb(224, 224, 224));
        canvas.Bevel(b, s, !windows[i].active);
        canvas.SetClip(Inset(b, 2 * s));
        canvas.Text(b.x0 + 3 * s, by0 + 2 * s, s, windows[i].title, Rgb(0, 0, 0));
        canvas.ResetClip();
        x = b.x1 + 2 * s;
    }
    canvas.Bevel(tray, s, false);
    canvas.Text(tray.x0 + m.charW, by0 + 2 * s, s, "12:34", Rgb(0, 0, 0));
}

} // namespace

bool FontGlyph(char c, std::uint8_t rows[7])
{
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Glyph& g : kFont) {
        if (g.c == c) {
            std::memcpy(rows, g.rows, 7);
            return true;
        }
    }
    return false;
}

RgbImage MakeSyntheticDesktop(int width, int height)
{
    RgbImage image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.rgb.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3, 0);
    if (image.width == 0 || image.height == 0) return image;

    Metrics m;
    m.s = std::max(1, (image.height + 270) / 540);
    m.charW = 6 * m.s;
    m.charH = 8 * m.s;

    Canvas canvas(image);
    const int taskbarTop = image.height - (m.Line() + 8 * m.s);
    DrawWallpaper(canvas, image.width, image.height, taskbarTop);
    DrawIcons(canvas, m, taskbarTop);

    static const WindowInfo kWindows[] = {
        {170, 60, 640, 600, "Notes - readme.txt", ClientKind::Document, false},
        {560, 90, 970, 470, "Mail - Inbox", ClientKind::List, false},
        {400, 330, 900, 930, "Terminal", ClientKind::Console, true},
    };
    const int count = static_cast<int>(sizeof kWindows / sizeof *kWindows);
    const long long areaW = image.width, areaH = std::max(taskbarTop, 0);
    for (const WindowInfo& w : kWindows) {
        const Rect frame{static_cast<int>(areaW * w.left / 1000), static_cast<int>(areaH * w.top / 1000),
                         static_cast<int>(areaW * w.right / 1000), static_cast<int>(areaH * w.bottom / 1000)};
        DrawWindow(canvas, m, frame, w);
    }
    DrawTaskbar(canvas, m, image.width, taskbarTop, image.height, kWindows, count);
    return image;
}

std::vector<std::uint8_t> SyntheticDesktopPicture(int width, int height)
{
    return PictureFromImage(MakeSyntheticDesktop(width, height), width, height);
}
