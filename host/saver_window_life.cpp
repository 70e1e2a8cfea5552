// The window skeleton: a saver's life (create, tick, destroy) run on a saver
// window, once for each window the host makes, each with a record of its
// own found by the window it belongs to.
#include "host/saver_host_state.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "common/runtime_random.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "common/win32/profile_settings_store.h"
#include "common/win32/sleep_pause.h"

namespace {

// SetTimer returns a non-zero value on success (1 for identifier 0), not the
// identifier: the timer is killed by the identifier it was set with.
constexpr UINT_PTR kSaverTimerId = 0;

// What the skeleton keeps for one saver window from its creation to its
// destruction.
struct SaverWindowRecord {
    HWND window = nullptr;
    void* state = nullptr;
    UINT_PTR timer = 0;
    // The logical palette and the padded rows the window's surfaces keep
    // from one message to the next.
    GdiSurfaceKeep keep;
};

std::vector<std::unique_ptr<SaverWindowRecord>> windowRecords;

SaverWindowRecord* FindRecord(HWND window)
{
    for (const auto& record : windowRecords) {
        if (record->window == window) return record.get();
    }
    return nullptr;
}

// A drawing surface on the window's private device context for one message.
// It puts back what it selected there when the message is done.
struct WindowDrawing {
    WindowDc dc;
    GdiSurface surface;
    WindowDrawing(HWND window, SaverWindowRecord& record) : dc(window), surface(window, dc.dc, &record.keep)
    {
        record.keep.palettes.make = saverHost.system->createPalette;
    }
};

void OnDestroy(const SaverWindowParts& parts, HWND window);

void OnCreate(const SaverWindowParts& parts, HWND window)
{
    // A window is created once; a WM_CREATE sent to it again by hand starts
    // its life afresh rather than giving it a second record.
    if (FindRecord(window) != nullptr) OnDestroy(parts, window);
    windowRecords.push_back(std::make_unique<SaverWindowRecord>());
    SaverWindowRecord& record = *windowRecords.back();
    record.window = window;
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::uint8_t> picture;
    if (parts.takeDesktopPicture != nullptr) {
        try {
            picture = parts.takeDesktopPicture(window, client.right, client.bottom);
        } catch (const std::bad_alloc&) {
            return; // no memory for the picture: the window stays black
        }
    }
    WindowDrawing drawing(window, record);
    HDC dc = drawing.dc.dc;
    const SaverHostSystem& system = *saverHost.system;
    SaverPlace place;
    // The windows of several monitors are made one after another within one
    // tick of the clock: each other monitor's generator is seeded apart by
    // its window's number, so no two monitors show the same.
    place.seed = SeparateMonitorSeed(system.tickCount(), GetSaverWindowNumber(window));
    place.usePalette = system.paletteDisplay >= 0 ? system.paletteDisplay : dc != nullptr && GetDeviceCaps(dc, NUMCOLORS) != -1 ? 1 : 0;
    // A true-colour display of 32 bits a pixel takes 4-byte pixels as they
    // are; 3-byte ones it would convert at every frame.
    place.pixelBytes = place.usePalette == 0 && dc != nullptr && GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) == 32 ? 4 : 3;
    place.picture = picture.data();
    place.pictureSize = picture.size();
    place.surface = &drawing.surface;
    place.width = client.right;
    place.height = client.bottom;
    SaverSettingsStore settings;
    place.settings = &settings;
    unsigned period = 0;
    record.state = parts.life->create(place, period);
    if (record.state != nullptr) record.timer = SetTimer(window, kSaverTimerId, period, nullptr);
}

void OnTimer(const SaverWindowParts& parts, HWND window)
{
    if (parts.dropSharedPicture != nullptr) parts.dropSharedPicture();
    SaverWindowRecord* record = FindRecord(window);
    if (record == nullptr || record->state == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    WindowDrawing drawing(window, *record);
    // A wipe waits on the queue as well as the clock and stops where it is
    // once the host says the user is back or another thread waits for an
    // answer; the tick then goes on as after any wipe and returns, and the
    // message loop handles what came.
    SleepPause wait(&ShouldSaverStepGiveWay, kSaverGiveWayQueueKinds);
    SaverPlace place;
    place.surface = &drawing.surface;
    place.pause = saverHost.system->pause != nullptr ? saverHost.system->pause : &wait;
    place.width = client.right;
    place.height = client.bottom;
    parts.life->tick(record->state, place);
}

void OnDestroy(const SaverWindowParts& parts, HWND window)
{
    const auto found = std::find_if(windowRecords.begin(), windowRecords.end(), [window](const auto& r) { return r->window == window; });
    if (found != windowRecords.end()) {
        // Taken out first: whatever happens below, no later message finds it.
        const std::unique_ptr<SaverWindowRecord> record = std::move(*found);
        windowRecords.erase(found);
        if (record->timer != 0) KillTimer(window, kSaverTimerId);
        parts.life->destroy(record->state);
        // Every surface has put back the palette it found: this one is
        // selected nowhere.
        record->keep.palettes.Release();
    }
    if (parts.dropSharedPicture != nullptr) parts.dropSharedPicture();
}

} // namespace

void* FindSaverWindowState(HWND window)
{
    const SaverWindowRecord* record = FindRecord(window);
    return record != nullptr ? record->state : nullptr;
}

LRESULT DriveSaverWindow(const SaverWindowParts& parts, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_CREATE: OnCreate(parts, window); break;
        case WM_TIMER: OnTimer(parts, window); break; // any timer identifier
        case WM_DESTROY: OnDestroy(parts, window); break;
        default: break;
        }
    } catch (...) {
        // Nothing escapes a window procedure; a failed step draws nothing.
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
