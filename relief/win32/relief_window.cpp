// The relief saver's window procedure: settings, snapshot and tables at
// creation, one lens frame per timer tick, everything freed at destruction.
#include "relief_window.h"

#include <memory>
#include <vector>

#include "common/runtime_random.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "common/win32/profile_settings_store.h"
#include "host/saver_host_state.h"
#include "relief/relief_life.h"
#include "relief_capture.h"

ReliefSettings gReliefSettings;
ReliefState gReliefState;

namespace {

// The ramp's logical palette stays selected in the window's private context
// for the whole run, for the frames copied to it. The palette the context
// had before goes back in before the ramp's is deleted: an object still
// selected in a context must not be deleted.
HPALETTE gReliefPalette = nullptr;
HWND gPaletteWindow = nullptr;
HPALETTE gFoundPalette = nullptr;
// -1: ask the display; 0 or 1: set by a test.
int gPaletteDisplayForTesting = -1;
// SetTimer returns a non-zero value on success (1 for identifier 0), not the
// identifier: the timer is killed by the identifier it was set with.
constexpr UINT_PTR kReliefTimerId = 0;
UINT_PTR gReliefTimer = 0;
// Lives with the window, so its row buffer is allocated once per run.
std::unique_ptr<GdiSurface> gReliefSurface;
ReliefTickSource gTickSource = &GetTickCount;

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

void ReleaseReliefPalette()
{
    if (gReliefPalette == nullptr) return;
    if (gPaletteWindow != nullptr) {
        WindowDc dc(gPaletteWindow);
        HPALETTE found = gFoundPalette != nullptr ? gFoundPalette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
        if (dc) SelectPalette(dc.dc, found, FALSE);
    }
    DeleteObject(gReliefPalette);
    gReliefPalette = nullptr;
    gPaletteWindow = nullptr;
    gFoundPalette = nullptr;
}

void OnCreate(HWND window)
{
    LoadReliefSettingsFromProfile();
    // Windows 95/98 copy the screen, never reading a snapshot: the helper is
    // not started there, as the command shell it once went through was not
    // there to start it, and no picture of the desktop is left on disk.
    const bool snapshotFresh = saverHost.isWin9x == 0 && RunSnapProgram();
    InitReliefWindow(window, snapshotFresh);
    gReliefTimer = SetTimer(window, kReliefTimerId, static_cast<UINT>(gReliefSettings.Delay), nullptr);
}

void OnDestroy(HWND window)
{
    FreeReliefWindow();
    if (gReliefTimer != 0) KillTimer(window, kReliefTimerId);
    gReliefTimer = 0;
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
    const DWORD seed = gTickSource();
    RECT client{};
    GetClientRect(window, &client);
    const int width = ReliefDimension(client.right);
    const int height = ReliefDimension(client.bottom);
    HDC dc = GetDC(window);
    const std::int32_t usePalette =
        gPaletteDisplayForTesting >= 0 ? gPaletteDisplayForTesting : dc != nullptr && GetDeviceCaps(dc, NUMCOLORS) != -1 ? 1 : 0;
    try {
        // The host asked the platform once; Windows NT has the snapshot
        // file, which only this start's helper can have made fresh.
        const std::vector<std::uint8_t> picture = CaptureDesktopPicture(width, height, saverHost.isWin9x == 0 && snapshotFresh);
        if (InitRelief(gReliefState, gReliefSettings, gProgramRandom, seed, width, height, usePalette, picture.data(), picture.size()) &&
            usePalette != 0) {
            gReliefPalette = CreateReliefPalette(gReliefState.colors);
            if (gReliefPalette != nullptr && dc != nullptr) {
                gFoundPalette = SelectPalette(dc, gReliefPalette, FALSE);
                gPaletteWindow = window;
                RealizePalette(dc);
            }
        }
    } catch (...) {
        // No memory for the picture: the window stays black.
        FreeRelief(gReliefState);
    }
    if (dc != nullptr) ReleaseDC(window, dc);
}

void RenderReliefFrame(HWND window)
{
    if (!gReliefSurface) gReliefSurface.reset(new GdiSurface(window, gReliefPalette));
    TickRelief(gReliefState, gProgramRandom, *gReliefSurface);
}

void FreeReliefWindow()
{
    gReliefSurface.reset();
    ReleaseReliefPalette();
    FreeRelief(gReliefState);
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
