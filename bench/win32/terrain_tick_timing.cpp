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

#include "timing.h"
#include "terrain/win32/terrain_window.h"

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

    gTerrainSettings = TerrainSettings{};
    gTerrainSettings.Speed = 5;
    gTerrainSettings.Erase = 0;
    const LARGE_INTEGER start = Now();
    InitTerrainWindow(window);
    GdiFlush();
    const LARGE_INTEGER created = Now();

    // The quads of a scene so far, from its cursor.
    const auto quadsDrawn = [] {
        const TerrainGrid* grid = gTerrainState.grid.get();
        return grid != nullptr ? grid->cursorDepth * (kTerrainGridSide - 1) + grid->cursorAcross : 0;
    };
    // A scene has 49 x 49 quads: its last tick draws what is left (one quad).
    TickTimes drawing, sceneChange, rest;
    const int ticks = scenes * gTerrainState.ticksPerScene;
    for (int tick = 0; tick < ticks; ++tick) {
        const bool newScene = gTerrainState.tickCount == gTerrainState.ticksPerScene;
        const int quadsBefore = quadsDrawn();
        const LARGE_INTEGER before = Now();
        TickTerrainWindow(window);
        GdiFlush();
        const double ms = Milliseconds(before, Now());
        if (newScene) sceneChange.Add(ms);
        else if (quadsDrawn() - quadsBefore == gTerrainState.quadsPerTick) drawing.Add(ms);
        else rest.Add(ms);
        DrainMessages();
    }

    std::printf("window %dx%d, Speed 5 (%d quads a tick, %d ticks a scene), Erase 0, %d scenes\n", width, height,
                gTerrainState.quadsPerTick, gTerrainState.ticksPerScene, scenes);
    std::printf("creation (first scene):   %8.2f ms\n", Milliseconds(start, created));
    std::printf("tick of %3d quads:        mean %7.3f ms  max %7.3f ms  (%d ticks)\n", gTerrainState.quadsPerTick, drawing.Mean(),
                drawing.most, drawing.count);
    std::printf("last tick of a scene:     mean %7.3f ms  max %7.3f ms  (%d ticks)\n", rest.Mean(), rest.most, rest.count);
    std::printf("tick with a new scene:    mean %7.3f ms  max %7.3f ms  (%d ticks)\n", sceneChange.Mean(), sceneChange.most,
                sceneChange.count);
    FreeTerrainWindow();
    DestroyWindow(window);
    return 0;
}
