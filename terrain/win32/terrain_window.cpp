// The terrain saver's window procedure: settings and the first scene at
// creation, one step of quads (and, between scenes, a wipe and a new scene)
// per timer tick, everything freed at destruction.
#include "terrain_window.h"

#include <memory>
#include <vector>

#include "common/runtime_random.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "common/win32/profile_settings_store.h"
#include "common/win32/saver_window_states.h"
#include "common/win32/sleep_pause.h"
#include "host/saver_host.h"
#include "host/saver_host_state.h"
#include "terrain/terrain_life.h"

TerrainSettings gTerrainSettings;
TerrainState gTerrainState;

namespace {

// What a saver window keeps between its messages. The primary monitor's
// window (and the preview, and every one-monitor run) draws gTerrainState
// from the program's generator; the window of each other monitor has a
// scene and a generator of its own.
struct TerrainWindowState {
    // A scene and generator of the window's own where none are given.
    TerrainWindowState(TerrainState* givenScene, RuntimeRandom* givenRandom)
        : scene(givenScene != nullptr ? givenScene : &ownScene), random(givenRandom != nullptr ? givenRandom : &ownRandom) {}
    TerrainState* scene;
    RuntimeRandom* random;
    // The scene's logical palette lives with the window from one tick to
    // the next, so it is made once per scene, not once per tick.
    GdiPaletteHolder palettes;
    UINT_PTR timer = 0;
    TerrainState ownScene;
    RuntimeRandom ownRandom;
};
TerrainWindowState gPrimaryWindow(&gTerrainState, &gProgramRandom);
SaverWindowStates<TerrainWindowState> gWindowStates(gPrimaryWindow);

// For a window timer SetTimer returns a non-zero value on success (1 for
// identifier 0), not the identifier: the timer is killed by the identifier
// it was set with.
constexpr UINT_PTR kTerrainTimerId = 0;
TerrainTickSource gTickSource = &GetTickCount;
StepPause* gPauseForTesting = nullptr;
// How the windows' logical palettes are made: CreatePalette, or a test's.
GdiPaletteHolder::PaletteMaker gPaletteMaker = &CreatePalette;

int WindowNumber(HWND window) { return SaverWindowStates<TerrainWindowState>::Number(window); }

TerrainWindowState& WindowState(HWND window)
{
    return gWindowStates.For(window, [](TerrainWindowState& made) { made.palettes.make = gPaletteMaker; });
}

void OnCreate(HWND window)
{
    LoadTerrainSettingsFromProfile();
    InitTerrainWindow(window);
    // The platform raises a 1 ms period to its shortest, about 10 ms.
    WindowState(window).timer = SetTimer(window, kTerrainTimerId, 1, nullptr);
}

void OnDestroy(HWND window)
{
    TerrainWindowState& state = WindowState(window);
    if (state.timer != 0) KillTimer(window, kTerrainTimerId);
    state.timer = 0;
    FreeTerrainWindow(window);
}

} // namespace

void SetTerrainTickSourceForTesting(TerrainTickSource source) { gTickSource = source != nullptr ? source : &GetTickCount; }

void SetTerrainPauseForTesting(StepPause* pause) { gPauseForTesting = pause; }

void SetTerrainPaletteMakerForTesting(GdiPaletteHolder::PaletteMaker make)
{
    gPaletteMaker = make != nullptr ? make : &CreatePalette;
    gWindowStates.ForEach([](TerrainWindowState& state) { state.palettes.make = gPaletteMaker; });
}

void LoadTerrainSettingsFromProfile()
{
    SaverSettingsStore store;
    gTerrainSettings = LoadTerrainSettings(store);
}

void InitTerrainWindow(HWND window)
{
    TerrainWindowState& state = WindowState(window);
    // The windows of several monitors are made one after another within one
    // tick of the clock: each other monitor's generator is seeded apart by
    // its window's number, so no two show the same landscape
    // (see SeparateMonitorSeed).
    const DWORD seed = SeparateMonitorSeed(gTickSource(), WindowNumber(window));
    RECT client{};
    GetClientRect(window, &client);
    // The class keeps a private context: the surface selects what it draws
    // with and puts back what it found when it goes.
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc, &state.palettes);
    InitTerrain(*state.scene, gTerrainSettings, *state.random, seed, surface, client.right, client.bottom);
}

void TickTerrainWindow(HWND window)
{
    TerrainWindowState& state = WindowState(window);
    RECT client{};
    GetClientRect(window, &client);
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc, &state.palettes);
    // A wipe waits on the queue as well as the clock and stops where it is
    // once the host says the user is back or another thread waits for an
    // answer; the tick then goes on as after any wipe and returns, and the
    // message loop handles what came.
    SleepPause sleep(&ShouldSaverStepGiveWay, kSaverGiveWayQueueKinds);
    StepPause& pause = gPauseForTesting != nullptr ? *gPauseForTesting : sleep;
    TickTerrain(*state.scene, gTerrainSettings, *state.random, surface, pause, client.right, client.bottom);
}

void FreeTerrainWindow(HWND window)
{
    TerrainWindowState& state = WindowState(window);
    FreeTerrain(*state.scene);
    // Every surface has put back the palette it found: this one is selected
    // nowhere.
    state.palettes.Release();
    gWindowStates.Drop(window);
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
