// Times the terrain saver's timer ticks under Windows (or Wine) on a window
// of a given size, through the window's own tick: at Speed 5 a tick draws 100
// quads, each a polygon with a brush of its own, on the private device
// context; the first tick of every scene after the first builds the new scene
// (grid, palette, clearing the window) before its quads. No wipes (Erase 0).
//   terrain_tick_timing [WIDTH HEIGHT [SCENES]]
// Run it on a display at least WIDTH x HEIGHT large.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <string>

#include "timing.h"
#include "host/saver_host_state.h"
#include "terrain/terrain_life.h"

namespace {

struct TickTimes {
    int count = 0;
    double total = 0.0;
    double most = 0.0;
    void Add(double ms)
    {
        ++count;
        total += ms;
        most = std::max(most, ms);
    }
    double Mean() const { return count > 0 ? total / count : 0.0; }
};

} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 1920;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1080;
    const int scenes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 8;

    HWND window = CreateTimingWindow("TerrainTiming", width, height, CS_OWNDC, BLACK_BRUSH);
    if (window == nullptr) return 1;

    // The settings file beside this program, as the saver's beside it.
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string settings = program;
    settings = settings.substr(0, settings.find_last_of('.') + 1) + "INI";
    WritePrivateProfileStringA("ScreenSaver.Kesmar", "Speed", "5", settings.c_str());
    WritePrivateProfileStringA("ScreenSaver.Kesmar", "Erase", "0", settings.c_str());
    const LARGE_INTEGER start = Now();
    ScreenSaverProc(window, WM_CREATE, 0, 0);
    GdiFlush();
    const LARGE_INTEGER created = Now();
    const auto* saver = static_cast<TerrainSaverState*>(FindSaverWindowState(window));
    if (saver == nullptr) return 1;
    const TerrainState& scene = saver->scene;

    // The quads of a scene so far, from its cursor.
    const auto quadsDrawn = [&scene] {
        const TerrainGrid* grid = scene.grid.get();
        return grid != nullptr ? grid->cursorDepth * (kTerrainGridSide - 1) + grid->cursorAcross : 0;
    };
    // A scene has 49 x 49 quads: its last tick draws what is left (one quad).
    TickTimes drawing, sceneChange, rest;
    const int ticks = scenes * scene.ticksPerScene;
    for (int tick = 0; tick < ticks; ++tick) {
        const bool newScene = scene.tickCount == scene.ticksPerScene;
        const int quadsBefore = quadsDrawn();
        const LARGE_INTEGER before = Now();
        ScreenSaverProc(window, WM_TIMER, 0, 0);
        GdiFlush();
        const double ms = Milliseconds(before, Now());
        if (newScene) sceneChange.Add(ms);
        else if (quadsDrawn() - quadsBefore == scene.quadsPerTick) drawing.Add(ms);
        else rest.Add(ms);
        DrainMessages();
    }

    std::printf("window %dx%d, Speed 5 (%d quads a tick, %d ticks a scene), Erase 0, %d scenes\n", width, height,
                scene.quadsPerTick, scene.ticksPerScene, scenes);
    std::printf("creation (first scene):   %8.2f ms\n", Milliseconds(start, created));
    std::printf("tick of %3d quads:        mean %7.3f ms  max %7.3f ms  (%d ticks)\n", scene.quadsPerTick, drawing.Mean(),
                drawing.most, drawing.count);
    std::printf("last tick of a scene:     mean %7.3f ms  max %7.3f ms  (%d ticks)\n", rest.Mean(), rest.most, rest.count);
    std::printf("tick with a new scene:    mean %7.3f ms  max %7.3f ms  (%d ticks)\n", sceneChange.Mean(), sceneChange.most,
                sceneChange.count);
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    DestroyWindow(window);
    DeleteFileA(settings.c_str());
    return 0;
}
