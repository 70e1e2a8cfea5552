// The relief saver's window procedure: settings, snapshot and tables at
// creation, one lens frame per timer tick, everything freed at destruction.
#include "relief_window.h"

#include <memory>
#include <vector>

#include "common/runtime_random.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "common/win32/profile_settings_store.h"
#include "common/win32/saver_window_states.h"
#include "common/win32/screen_copy.h"
#include "host/saver_host_state.h"
#include "relief/relief_life.h"
#include "relief_capture.h"

ReliefSettings gReliefSettings;
ReliefState gReliefState;

namespace {

// What a saver window keeps between its messages. The primary monitor's
// window (and the preview, and every one-monitor run) draws gReliefState
// from the program's generator; the window of each other monitor has a
// state and a generator of its own.
struct ReliefWindowState {
    // A state and generator of the window's own where none are given.
    ReliefWindowState(ReliefState* givenRelief, RuntimeRandom* givenRandom)
        : relief(givenRelief != nullptr ? givenRelief : &ownRelief), random(givenRandom != nullptr ? givenRandom : &ownRandom) {}
    ReliefState* relief;
    RuntimeRandom* random;
    // The ramp's logical palette stays selected in the window's private
    // context for the whole run, for the frames copied to it. The palette
    // the context had before goes back in before the ramp's is deleted: an
    // object still selected in a context must not be deleted.
    HPALETTE palette = nullptr;
    HWND paletteWindow = nullptr;
    HPALETTE foundPalette = nullptr;
    UINT_PTR timer = 0;
    // Lives with the window, so its row buffer is allocated once per run.
    std::unique_ptr<GdiSurface> surface;
    ReliefState ownRelief;
    RuntimeRandom ownRandom;
};
ReliefWindowState gPrimaryWindow(&gReliefState, &gProgramRandom);
SaverWindowStates<ReliefWindowState> gWindowStates(gPrimaryWindow);

// Full screen on several monitors: the picture of the whole desktop, taken
// once, when the first window is made, and cut for each window as it is
// made; dropped at the first frame, when every window has its own.
std::vector<std::uint8_t> gDesktopPicture;
DesktopArea gDesktopArea;

// -1: ask the display; 0 or 1: set by a test.
int gPaletteDisplayForTesting = -1;
// SetTimer returns a non-zero value on success (1 for identifier 0), not the
// identifier: the timer is killed by the identifier it was set with.
constexpr UINT_PTR kReliefTimerId = 0;
ReliefTickSource gTickSource = &GetTickCount;

int WindowNumber(HWND window) { return SaverWindowStates<ReliefWindowState>::Number(window); }

ReliefWindowState& WindowState(HWND window) { return gWindowStates.For(window); }

// The ramp as a logical palette, for palette-based displays.
HPALETTE CreateReliefPalette(const std::vector<std::uint32_t>& colors)
{
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* description = reinterpret_cast<LOGPALETTE*>(storage.data());
    description->palVersion = 0x300;
    description->palNumEntries = static_cast<WORD>(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        PALETTEENTRY& entry = description->palPalEntry[i];
        entry.peRed = GetRValue(colors[i]);
        entry.peGreen = GetGValue(colors[i]);
        entry.peBlue = GetBValue(colors[i]);
        entry.peFlags = PC_RESERVED;
    }
    return CreatePalette(description);
}

void ReleaseReliefPalette(ReliefWindowState& state)
{
    if (state.palette == nullptr) return;
    if (state.paletteWindow != nullptr) {
        WindowDc dc(state.paletteWindow);
        HPALETTE found = state.foundPalette != nullptr ? state.foundPalette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
        if (dc) SelectPalette(dc.dc, found, FALSE);
    }
    DeleteObject(state.palette);
    state.palette = nullptr;
    state.paletteWindow = nullptr;
    state.foundPalette = nullptr;
}

// The picture a window turns into its height field. A window on one of
// several monitors takes its part of the whole desktop's picture, which the
// first window of the run takes; any other window, as designed, the
// picture at its own size.
std::vector<std::uint8_t> WindowPicture(HWND window, int width, int height, bool fromSnapshotFile)
{
    const DesktopArea desktop = GetDesktopArea();
    const bool onePrimaryScreen = desktop.left == 0 && desktop.top == 0 && desktop.width == width && desktop.height == height;
    const bool severalMonitors = saverHost.isPreview == 0 && GetSaverWindowNumber(window) >= 0 && !onePrimaryScreen;
    if (!severalMonitors) return CaptureDesktopPicture(width, height, fromSnapshotFile);
    if (gDesktopPicture.empty()) {
        gDesktopArea = desktop;
        gDesktopPicture = CaptureDesktopPicture(gDesktopArea.width, gDesktopArea.height, fromSnapshotFile, gDesktopArea.left, gDesktopArea.top);
    }
    RECT area{};
    GetWindowRect(window, &area);
    return CutDesktopPicture(gDesktopPicture, gDesktopArea, area.left, area.top, width, height);
}

void OnCreate(HWND window)
{
    LoadReliefSettingsFromProfile();
    // The helper runs once per run, for the first window (on several
    // monitors its picture holds them all). Windows 95/98 copy the screen,
    // never reading a snapshot: the helper is not started there, as the
    // command shell it once went through was not there to start it, and no
    // picture of the desktop is left on disk.
    static bool snapshotFresh = false;
    if (WindowNumber(window) <= 0) snapshotFresh = saverHost.isWin9x == 0 && RunSnapProgram();
    InitReliefWindow(window, snapshotFresh);
    WindowState(window).timer = SetTimer(window, kReliefTimerId, static_cast<UINT>(gReliefSettings.Delay), nullptr);
}

void OnDestroy(HWND window)
{
    ReliefWindowState& state = WindowState(window);
    if (state.timer != 0) KillTimer(window, kReliefTimerId);
    state.timer = 0;
    FreeReliefWindow(window);
}

} // namespace

void SetReliefTickSourceForTesting(ReliefTickSource source) { gTickSource = source != nullptr ? source : &GetTickCount; }

void SetReliefPaletteDisplayForTesting(int paletteDisplay) { gPaletteDisplayForTesting = paletteDisplay < 0 ? -1 : paletteDisplay != 0 ? 1 : 0; }

void LoadReliefSettingsFromProfile()
{
    SaverSettingsStore store;
    gReliefSettings = LoadReliefSettings(store);
}

void SaveReliefSettingsToProfile()
{
    SaverSettingsStore store;
    SaveReliefSettings(store, gReliefSettings);
}

void InitReliefWindow(HWND window, bool snapshotFresh)
{
    ReliefWindowState& state = WindowState(window);
    // The windows of several monitors are made one after another within one
    // tick of the clock: each other monitor's generator is seeded apart by
    // its window's number, so no two spotlights wander alike
    // (see SeparateMonitorSeed).
    const DWORD seed = SeparateMonitorSeed(gTickSource(), WindowNumber(window));
    RECT client{};
    GetClientRect(window, &client);
    const int width = ReliefDimension(client.right);
    const int height = ReliefDimension(client.bottom);
    HDC dc = GetDC(window);
    const std::int32_t usePalette =
        gPaletteDisplayForTesting >= 0 ? gPaletteDisplayForTesting : dc != nullptr && GetDeviceCaps(dc, NUMCOLORS) != -1 ? 1 : 0;
    // A true-colour display of 32 bits a pixel takes 4-byte pixels as they
    // are; 3-byte ones it would convert at every frame.
    const int pixelBytes = usePalette == 0 && dc != nullptr && GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) == 32 ? 4 : 3;
    try {
        // The host asked the platform once; Windows NT has the snapshot
        // file, which only this start's helper can have made fresh.
        const std::vector<std::uint8_t> picture = WindowPicture(window, width, height, saverHost.isWin9x == 0 && snapshotFresh);
        if (InitRelief(*state.relief, gReliefSettings, *state.random, seed, width, height, usePalette, picture.data(), picture.size(),
                       pixelBytes) &&
            usePalette != 0) {
            state.palette = CreateReliefPalette(state.relief->colors);
            if (state.palette != nullptr && dc != nullptr) {
                state.foundPalette = SelectPalette(dc, state.palette, FALSE);
                state.paletteWindow = window;
                RealizePalette(dc);
            }
        }
    } catch (...) {
        // No memory for the picture: the window stays black.
        FreeRelief(*state.relief);
    }
    if (dc != nullptr) ReleaseDC(window, dc);
}

void RenderReliefFrame(HWND window)
{
    // Every window has been made and has its part of the desktop.
    if (!gDesktopPicture.empty()) std::vector<std::uint8_t>().swap(gDesktopPicture);
    ReliefWindowState& state = WindowState(window);
    if (!state.surface) state.surface.reset(new GdiSurface(window, state.palette));
    TickRelief(*state.relief, *state.random, *state.surface);
}

void FreeReliefWindow(HWND window)
{
    ReliefWindowState& state = WindowState(window);
    state.surface.reset();
    ReleaseReliefPalette(state);
    FreeRelief(*state.relief);
    std::vector<std::uint8_t>().swap(gDesktopPicture);
    gWindowStates.Drop(window);
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_CREATE: OnCreate(window); break;
        case WM_TIMER: RenderReliefFrame(window); break; // any timer identifier
        case WM_DESTROY: OnDestroy(window); break;
        default: break;
        }
    } catch (...) {
        // Nothing escapes a window procedure; a failed step draws nothing.
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
