// The terrain saver's window procedure: settings and the first scene at
// creation, one step of quads (and, between scenes, a wipe and a new scene)
// per timer tick, everything freed at destruction.
#include "terrain_window.h"

#include "common/runtime_random.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "common/win32/profile_settings_store.h"
#include "common/win32/sleep_pause.h"
#include "host/saver_host.h"
#include "terrain/terrain_life.h"

TerrainSettings gTerrainSettings;
TerrainState gTerrainState;

namespace {

// The scene's logical palette lives with the window from one tick to the
// next, so it is made once per scene, not once per tick.
GdiPaletteHolder gTerrainPalettes;
// For a window timer SetTimer returns a non-zero value on success (1 for
// identifier 0), not the identifier: the timer is killed by the identifier
// it was set with.
constexpr UINT_PTR kTerrainTimerId = 0;
UINT_PTR gTerrainTimer = 0;
TerrainTickSource gTickSource = &GetTickCount;
StepPause* gPauseForTesting = nullptr;

void OnCreate(HWND window)
{
    LoadTerrainSettingsFromProfile();
    InitTerrainWindow(window);
    // The platform raises a 1 ms period to its shortest, about 10 ms.
    gTerrainTimer = SetTimer(window, kTerrainTimerId, 1, nullptr);
}

void OnDestroy(HWND window)
{
    FreeTerrainWindow();
    if (gTerrainTimer != 0) KillTimer(window, kTerrainTimerId);
    gTerrainTimer = 0;
}

} // namespace

void SetTerrainTickSourceForTesting(TerrainTickSource source) { gTickSource = source != nullptr ? source : &GetTickCount; }

void SetTerrainPauseForTesting(StepPause* pause) { gPauseForTesting = pause; }

void SetTerrainPaletteMakerForTesting(GdiPaletteHolder::PaletteMaker make) { gTerrainPalettes.make = make != nullptr ? make : &CreatePalette; }

void LoadTerrainSettingsFromProfile()
{
    ProfileSettingsStore store(GetSettingsPath());
    gTerrainSettings = LoadTerrainSettings(store);
}

void InitTerrainWindow(HWND window)
{
    const DWORD seed = gTickSource();
    RECT client{};
    GetClientRect(window, &client);
    // The class keeps a private context: the surface selects what it draws
    // with and puts back what it found when it goes.
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc, &gTerrainPalettes);
    InitTerrain(gTerrainState, gTerrainSettings, gProgramRandom, seed, surface, client.right, client.bottom);
}

void TickTerrainWindow(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc, &gTerrainPalettes);
    SleepPause sleep;
    StepPause& pause = gPauseForTesting != nullptr ? *gPauseForTesting : sleep;
    TickTerrain(gTerrainState, gTerrainSettings, gProgramRandom, surface, pause, client.right, client.bottom);
}

void FreeTerrainWindow()
{
    FreeTerrain(gTerrainState);
    // Every surface has put back the palette it found: this one is selected
    // nowhere.
    gTerrainPalettes.Release();
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        switch (message) {
        case WM_CREATE: OnCreate(window); break;
        case WM_TIMER: TickTerrainWindow(window); break; // any timer identifier
        case WM_DESTROY: OnDestroy(window); break;
        default: break;
        }
    } catch (...) {
        // Nothing escapes a window procedure; a failed step draws nothing.
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
