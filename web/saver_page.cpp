// The web page's driver of the saver table (common/saver_life.h): the third
// driver beside the Windows window skeleton and the headless renderer. It
// creates one saver on a software surface of the canvas's size, ticks it when
// the page says so, and hands the page the surface as canvas pixels. Nothing
// of the savers' drawing is done here; like the renderer it only feeds the
// table and takes the surface.
//
// Settings come from the browser's storage through the same settings rules as
// the savers' own (LoadReliefSettings, LoadTerrainSettings), or, in the test
// mode, from the page's address as the renderer's --set gives them. A wipe's
// pauses go through the pause seam: in the page they hand the browser its
// turn (Asyncify unwinds the tick and picks it up again when the pause is
// over); in the test mode they are counted, as the renderer counts them.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/saver_life.h"
#include "common/settings_store.h"
#include "common/step_pause.h"
#include "headless/ini_settings_store.h"
#include "headless/rgb_image.h"
#include "headless/saver_registry.h"
#include "headless/software_surface.h"
#include "headless/synthetic_desktop.h"
#include "relief/relief_dialog_logic.h"
#include "relief/relief_life.h"
#include "relief/relief_settings.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain/terrain_life.h"
#include "terrain/terrain_settings.h"
#include "settings_panel.h"

// The page's side of the driver (page.js): the browser's storage (which a
// browser may refuse: reads then find nothing and writes are dropped, with
// one line in the console) and the pause's wait.
EM_JS(char*, page_storage_get, (const char* name), {
    var text = pageStorageGet(UTF8ToString(name));
    if (text === null) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(text, copy, size);
    return copy;
});
EM_JS(void, page_storage_set, (const char* name, const char* text), {
    pageStorageSet(UTF8ToString(name), UTF8ToString(text));
});
// Waits `milliseconds` (0: only lets the browser run), or less once the page
// asks the running tick to stop. The tick is unwound meanwhile (Asyncify).
EM_JS(void, page_pause_wait, (int milliseconds), {
    Asyncify.handleSleep(function(wakeUp) { pagePauseWait(milliseconds, wakeUp); });
});

namespace {

// The shortest timer period the page runs at: the terrain saver asks for
// 1 ms, which the platform raises to its shortest, 10 ms.
constexpr unsigned kShortestPeriod = 10;
// The longest a pause-free stretch of a tick runs before it lets the browser
// draw the canvas and take input (about one display frame).
constexpr double kLongestStretchMs = 16.0;

// The browser's storage as the settings store: one entry a key, named
// "SECTION:KEY", holding the text the saver wrote; read as the platform's
// profile API reads a number (ParseProfileInt).
class BrowserSettingsStore : public SettingsStore {
public:
    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override
    {
        char* text = page_storage_get(EntryName(section, key).c_str());
        if (text == nullptr) return defaultValue;
        const std::int32_t value = ParseProfileInt(text);
        std::free(text);
        return value;
    }
    void WriteSettingString(const char* section, const char* key, const char* text) override
    {
        page_storage_set(EntryName(section, key).c_str(), text != nullptr ? text : "");
    }

private:
    static std::string EntryName(const char* section, const char* key) { return std::string(section) + ":" + key; }
};

// The pause seam in the page. Counting (the test mode): every pause returns at
// once and is counted, as the renderer's recording pause does. Waiting (the
// live page): pauses are paced against the clock from the tick's start
// (PauseSchedule, as on Windows) and each one hands the browser its turn;
// a stretch of drawing longer than a display frame between two pauses, or
// between two questions of a wipe that makes no pauses, also lets the
// browser run, so a wipe never holds the page. Once the page asks the tick
// to stop (a new size, new settings, another saver), the pause says so
// until the tick ends, and the wipe ends where it is.
class PagePause : public StepPause {
public:
    bool counting = true;
    // Written by the page (through its address) while a tick waits.
    volatile std::int32_t stopAsked = 0;
    std::uint64_t count = 0;
    long long totalMilliseconds = 0;

    void BeginTick()
    {
        stopped_ = false;
        schedule_ = PauseSchedule{};
        start_ = emscripten_get_now();
        lastTurn_ = start_;
    }

    void Pause(int milliseconds) override
    {
        ++count;
        if (milliseconds > 0) totalMilliseconds += milliseconds;
        if (counting || StopRequested()) return;
        const double now = emscripten_get_now();
        const int wait = schedule_.Next(milliseconds, now - start_);
        if (wait > 0 || now - lastTurn_ >= kLongestStretchMs) GiveTurn(wait);
    }

    bool StopRequested() override
    {
        if (!stopped_ && !counting && stopAsked == 0 && emscripten_get_now() - lastTurn_ >= kLongestStretchMs) GiveTurn(0);
        if (!stopped_ && stopAsked != 0) stopped_ = true;
        return stopped_;
    }

private:
    void GiveTurn(int wait)
    {
        page_pause_wait(wait);
        lastTurn_ = emscripten_get_now();
    }

    bool stopped_ = false;
    PauseSchedule schedule_;
    double start_ = 0.0;
    double lastTurn_ = 0.0;
};

// The software surface, with the area drawn since the canvas last took the
// surface: every call is passed on unchanged, and the rectangle it can touch
// (in frame pixels, after the origin shifts) is added to the area, so the
// canvas takes only what changed. A relief frame is its lens square, a
// terrain tick its few quads.
class DrawnAreaSurface : public DrawSurface {
public:
    explicit DrawnAreaSurface(SoftwareSurface& surface) : surface_(surface) {}

    // The area drawn, clipped to the frame: left, top, right, bottom
    // (exclusive); all 0 when nothing was drawn.
    void Area(int area[4]) const
    {
        const long long frame[4] = {0, 0, surface_.width, surface_.height};
        const long long clipped[4] = {left_ > frame[0] ? left_ : frame[0], top_ > frame[1] ? top_ : frame[1],
                                      right_ < frame[2] ? right_ : frame[2], bottom_ < frame[3] ? bottom_ : frame[3]};
        const bool empty = clipped[2] <= clipped[0] || clipped[3] <= clipped[1];
        for (int i = 0; i < 4; ++i) area[i] = empty ? 0 : static_cast<int>(clipped[i]);
    }
    void Forget()
    {
        left_ = top_ = kFar;
        right_ = bottom_ = -kFar;
    }
    void All() { Add(0, 0, surface_.width, surface_.height, false); }

    void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) override
    {
        surface_.PutPixelBlock(left, top, width, height, bottomUpBgr);
        Add(left, top, left + width, top + height);
    }
    void PutPixelBlock32(int left, int top, int width, int height, const std::uint8_t* bottomUpBgrx) override
    {
        surface_.PutPixelBlock32(left, top, width, height, bottomUpBgrx);
        Add(left, top, left + width, top + height);
    }
    void BlackenRow(int y) override
    {
        surface_.BlackenRow(y);
        Add(-kFar, y, kFar, y + 1);
    }
    void BlackenColumn(int x) override
    {
        surface_.BlackenColumn(x);
        Add(x, -kFar, x + 1, kFar);
    }
    void FillBlackRect(int left, int top, int right, int bottom) override
    {
        surface_.FillBlackRect(left, top, right, bottom);
        Add(left, top, right, bottom);
    }
    void SetBlackPixel(int x, int y) override
    {
        surface_.SetBlackPixel(x, y);
        Add(x, y, x + 1, y + 1);
    }
    void FillPolygon(const SurfacePoint* points, int count, std::uint32_t color) override
    {
        surface_.FillPolygon(points, count, color);
        AddPoints(points, count);
    }
    void FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override
    {
        surface_.FillBlackPie(left, top, right, bottom, x1, y1, x2, y2);
        Add(left, top, right + 1, bottom + 1);
    }
    void FillBlackPolygonRegion(const SurfacePoint* points, int count) override
    {
        surface_.FillBlackPolygonRegion(points, count);
        AddPoints(points, count);
    }
    void FillBlackRectMinusEllipse(int left, int top, int right, int bottom, int ellipseLeft, int ellipseTop, int ellipseRight,
                                   int ellipseBottom) override
    {
        surface_.FillBlackRectMinusEllipse(left, top, right, bottom, ellipseLeft, ellipseTop, ellipseRight, ellipseBottom);
        Add(left, top, right + 1, bottom + 1);
    }
    void ShiftOrigin(int dx, int dy) override
    {
        surface_.ShiftOrigin(dx, dy);
        originX_ += dx;
        originY_ += dy;
    }
    void SelectPalette(const SurfacePalette& palette) override { surface_.SelectPalette(palette); }

private:
    static constexpr long long kFar = 1LL << 40;

    // A rectangle in the caller's coordinates, widened by a pixel on every
    // side for the outlines and sampling rules of the shapes.
    void Add(long long left, long long top, long long right, long long bottom, bool logical = true)
    {
        if (logical) {
            left -= originX_ + 1;
            top -= originY_ + 1;
            right -= originX_ - 1;
            bottom -= originY_ - 1;
        }
        if (right <= left || bottom <= top) return;
        left_ = left < left_ ? left : left_;
        top_ = top < top_ ? top : top_;
        right_ = right > right_ ? right : right_;
        bottom_ = bottom > bottom_ ? bottom : bottom_;
    }
    void AddPoints(const SurfacePoint* points, int count)
    {
        if (points == nullptr || count <= 0) return;
        long long left = points[0].x, top = points[0].y, right = points[0].x, bottom = points[0].y;
        for (int i = 1; i < count; ++i) {
            left = points[i].x < left ? points[i].x : left;
            top = points[i].y < top ? points[i].y : top;
            right = points[i].x > right ? points[i].x : right;
            bottom = points[i].y > bottom ? points[i].y : bottom;
        }
        Add(left, top, right + 1, bottom + 1);
    }
    SoftwareSurface& surface_;
    long long originX_ = 0;
    long long originY_ = 0;
    long long left_ = kFar, top_ = kFar, right_ = -kFar, bottom_ = -kFar;
};

// The one saver the page runs.
struct PageSaver {
    const SaverLife* life = nullptr;
    std::unique_ptr<SoftwareSurface> surface;
    std::unique_ptr<DrawnAreaSurface> drawn; // what the saver draws on
    PagePause pause;
    SaverPlace place;
    void* state = nullptr;
    unsigned period = 0;
    // The canvas's pixels: red, green, blue, alpha, top-down.
    std::vector<std::uint32_t> canvas;
};

PageSaver gPage;
BrowserSettingsStore gBrowserStore;
// The test mode's settings: the address's Key=Value pairs, as --set gives them.
IniSettingsStore gAddressStore;
bool gUseAddressStore = false;
// The picture the page chose (top-down red, green, blue, alpha at the canvas
// size, black beyond the image), or none for the built-in desktop.
std::vector<std::uint8_t> gChosenPicture;
int gChosenWidth = 0;
int gChosenHeight = 0;
std::string gText; // what the last text-returning call returned
int gFrameArea[4] = {0, 0, 0, 0};

const SaverLife* FindPageSaver(const char* name) { return name != nullptr ? FindSaver(name) : nullptr; }

// The desktop picture in the saver's layout (bottom-up blue, green, red).
std::vector<std::uint8_t> PagePicture(int width, int height)
{
    if (gChosenPicture.empty() || gChosenWidth != width || gChosenHeight != height) return SyntheticDesktopPicture(width, height);
    RgbImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0, j = 0; j < image.rgb.size(); i += 4, j += 3) {
        image.rgb[j] = gChosenPicture[i];
        image.rgb[j + 1] = gChosenPicture[i + 1];
        image.rgb[j + 2] = gChosenPicture[i + 2];
    }
    return PictureFromImage(image, width, height);
}

void DestroySaver()
{
    if (gPage.life != nullptr) gPage.life->destroy(gPage.state);
    gPage.state = nullptr;
    gPage.life = nullptr;
    gPage.period = 0;
}

} // namespace

extern "C" {

// The savers' names, comma-separated.
EMSCRIPTEN_KEEPALIVE const char* page_saver_names()
{
    gText = SaverNames();
    gText.erase(std::remove(gText.begin(), gText.end(), ' '), gText.end());
    return gText.c_str();
}

// Test mode settings: forgets all, or sets one key of the saver's section as
// the renderer's --set does (a key the saver does not read is kept, harmlessly,
// after a warning). Returns 0 when the saver is unknown.
EMSCRIPTEN_KEEPALIVE int page_address_settings_clear()
{
    gAddressStore = IniSettingsStore();
    return 1;
}
EMSCRIPTEN_KEEPALIVE int page_address_setting(const char* saverName, const char* key, const char* value)
{
    const SaverLife* life = FindPageSaver(saverName);
    if (life == nullptr || key == nullptr || value == nullptr) return 0;
    if (!SaverHasKey(*life, key)) std::fprintf(stderr, "saver page: warning: %s has no setting '%s'\n", life->name, key);
    gAddressStore.SetValue(life->section, key, value);
    return 1;
}

// A buffer of width x height red, green, blue, alpha pixels for the page to
// fill with its chosen picture; page_picture_clear goes back to the built-in
// desktop. nullptr when there is no memory for it.
EMSCRIPTEN_KEEPALIVE std::uint8_t* page_picture_buffer(int width, int height)
{
    gChosenPicture.clear();
    gChosenWidth = gChosenHeight = 0;
    if (width <= 0 || height <= 0) return nullptr;
    try {
        gChosenPicture.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    gChosenWidth = width;
    gChosenHeight = height;
    return gChosenPicture.data();
}
EMSCRIPTEN_KEEPALIVE void page_picture_clear()
{
    std::vector<std::uint8_t>().swap(gChosenPicture);
    gChosenWidth = gChosenHeight = 0;
}

// Creates the saver (after destroying the one before) on a black surface of
// width x height, seeded with `seed`, reading its settings from the address
// (fromAddress 1) or the browser's storage, over the chosen picture when its
// size is the canvas's or else the built-in desktop; counting: pauses are
// counted, not waited. Returns the timer period in ms (raised to the
// shortest the page runs at), 0 when the saver has no timer (its state could
// not be built: the canvas stays black), or -1 for an unknown saver or a
// size without room.
EMSCRIPTEN_KEEPALIVE int page_create(const char* saverName, int width, int height, std::uint32_t seed, int fromAddress, int counting)
{
    DestroySaver();
    const SaverLife* life = FindPageSaver(saverName);
    if (life == nullptr || width <= 0 || height <= 0) return -1;
    try {
        gPage.drawn.reset();
        gPage.surface.reset();
        std::vector<std::uint32_t>().swap(gPage.canvas);
        gPage.surface = std::make_unique<SoftwareSurface>(width, height);
        gPage.drawn = std::make_unique<DrawnAreaSurface>(*gPage.surface);
        gPage.canvas.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u);
    } catch (const std::bad_alloc&) {
        gPage.drawn.reset();
        gPage.surface.reset();
        std::vector<std::uint32_t>().swap(gPage.canvas);
        std::fprintf(stderr, "saver page: no memory for a %dx%d canvas\n", width, height);
        return -1;
    }
    gUseAddressStore = fromAddress != 0;
    gPage.pause.counting = counting != 0;
    gPage.pause.stopAsked = 0;
    gPage.pause.count = 0;
    gPage.pause.totalMilliseconds = 0;
    gPage.place = SaverPlace{};
    gPage.place.settings = gUseAddressStore ? static_cast<SettingsStore*>(&gAddressStore) : &gBrowserStore;
    gPage.place.seed = seed;
    gPage.place.surface = gPage.drawn.get();
    gPage.drawn->Forget();
    gPage.drawn->All(); // the canvas has not shown this surface yet
    gPage.place.pause = &gPage.pause;
    gPage.place.width = width;
    gPage.place.height = height;

    std::vector<std::uint8_t> picture;
    if (life == &kReliefLife) {
        try {
            picture = PagePicture(width, height);
        } catch (const std::bad_alloc&) {
            picture.clear(); // a picture that cannot be had is black
        }
        gPage.place.picture = picture.data();
        gPage.place.pictureSize = picture.size();
    }
    unsigned period = 0;
    gPage.pause.BeginTick();
    gPage.state = life->create(gPage.place, period);
    gPage.place.picture = nullptr;
    gPage.place.pictureSize = 0;
    gPage.life = life;
    if (gPage.state == nullptr) {
        std::fprintf(stderr, "saver page: %s could not set up its tables; it draws nothing\n", life->name);
        return 0;
    }
    gPage.period = period < kShortestPeriod ? kShortestPeriod : period;
    return static_cast<int>(gPage.period);
}

// One timer tick. In the live page a tick may wait inside (a wipe): the page
// calls it asynchronously and calls nothing else that changes the saver
// until it has returned.
EMSCRIPTEN_KEEPALIVE void page_tick()
{
    if (gPage.life == nullptr || gPage.state == nullptr) return;
    gPage.pause.BeginTick();
    gPage.life->tick(gPage.state, gPage.place);
}

// Runs `count` ticks that do not wait (the test mode).
EMSCRIPTEN_KEEPALIVE void page_ticks(int count)
{
    for (int i = 0; i < count; ++i) page_tick();
}

EMSCRIPTEN_KEEPALIVE void page_destroy() { DestroySaver(); }

// The address of the word the page sets to ask the running tick to stop.
EMSCRIPTEN_KEEPALIVE volatile std::int32_t* page_stop_word() { return &gPage.pause.stopAsked; }

// The pauses made since creation and the milliseconds they asked for.
EMSCRIPTEN_KEEPALIVE double page_pause_count() { return static_cast<double>(gPage.pause.count); }
EMSCRIPTEN_KEEPALIVE double page_pause_milliseconds() { return static_cast<double>(gPage.pause.totalMilliseconds); }

// The canvas pixels (red, green, blue, opaque alpha, top-down), width x
// height x 4 bytes, brought up to date with the surface where the saver drew
// since the last call (all of it after creation); page_frame_area then tells
// that area, the part of the canvas to put. nullptr before creation.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* page_frame()
{
    gFrameArea[0] = gFrameArea[1] = gFrameArea[2] = gFrameArea[3] = 0;
    if (!gPage.surface || !gPage.drawn || gPage.canvas.size() != gPage.surface->pixels.size()) return nullptr;
    gPage.drawn->Area(gFrameArea);
    gPage.drawn->Forget();
    const std::size_t width = static_cast<std::size_t>(gPage.surface->width);
    for (int y = gFrameArea[1]; y < gFrameArea[3]; ++y) {
        const std::uint32_t* from = gPage.surface->pixels.data() + static_cast<std::size_t>(y) * width;
        std::uint32_t* to = gPage.canvas.data() + static_cast<std::size_t>(y) * width;
        for (int x = gFrameArea[0]; x < gFrameArea[2]; ++x) {
            const std::uint32_t p = from[x]; // 0x00RRGGBB
            to[x] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
        }
    }
    return gPage.canvas.data();
}

// Left, top, right, bottom (exclusive) of what the last page_frame brought
// up to date; all 0 when nothing changed.
EMSCRIPTEN_KEEPALIVE const int* page_frame_area() { return gFrameArea; }

// The settings panel of a saver as JSON (see settings_panel.h), read from the
// browser's storage through the saver's settings rules.
EMSCRIPTEN_KEEPALIVE const char* page_panel(const char* saverName)
{
    const SaverLife* life = FindPageSaver(saverName);
    gText = life == nullptr ? std::string("null") : SettingsPanelJson(*life, gBrowserStore);
    return gText.c_str();
}

// The panel's controls changed: `controls` holds "Key=value" lines, one for
// every control, as the dialog's OK reads them; the saver's settings are
// stored from them in the browser (all keys, as the dialog writes them).
// Returns 0 for an unknown saver.
EMSCRIPTEN_KEEPALIVE int page_panel_store(const char* saverName, const char* controls)
{
    const SaverLife* life = FindPageSaver(saverName);
    if (life == nullptr || controls == nullptr) return 0;
    StoreSettingsPanel(*life, controls, gBrowserStore);
    return 1;
}

// The palette preview strip of the relief saver's panel for the base colour
// and colour count shown: JSON {"bands":[...],"bandWidth":w,"last":c,"restLeft":x}
// with colours as "#rrggbb".
EMSCRIPTEN_KEEPALIVE const char* page_palette_preview(int red, int green, int blue, int colorCount, int stripWidth)
{
    gText = PalettePreviewJson(red, green, blue, colorCount, stripWidth);
    return gText.c_str();
}

} // extern "C"
