// The terrain saver's life as the window sees it: create, tick, destroy.
// The Win32 window procedure and the headless renderer both run exactly this,
// so what the renderer writes is what the window shows.
#pragma once

#include <cstdint>

#include "../common/draw_surface.h"
#include "../common/runtime_random.h"
#include "../common/saver_life.h"
#include "../common/step_pause.h"
#include "terrain_settings.h"
#include "terrain_state.h"

// Told what the life does besides drawing (the renderer's trace).
class TerrainEvents : public SaverEvents, public TerrainQuadObserver {
public:
    // A scene has been built (or tried: without a grid there is none).
    virtual void SceneBuilt(const TerrainState& state) = 0;
    // At a scene change, before the new scene: the wipe played, -1 for none.
    virtual void WipePlayed(int number) = 0;
};

// Window creation: seeds the generator, builds the first scene (which clears
// the client area of width x height to black), and sets the scene clock:
// tickCount 0, ticksPerScene and quadsPerTick from Speed.
void InitTerrain(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, std::uint32_t seed,
                 DrawSurface& surface, int clientWidth, int clientHeight, TerrainEvents* events = nullptr);

// One timer tick: when the scene has had its ticks, the wipe that Erase asks
// for (pausing through `pause`; a wipe the pause stops ends where it is, and
// the tick goes on as after any wipe) and a new scene on the client area as it
// is now; then the tick is counted and the next quads drawn.
void TickTerrain(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, DrawSurface& surface,
                 StepPause& pause, int clientWidth, int clientHeight, TerrainEvents* events = nullptr);

// Frees the grid and the palette.
void FreeTerrain(TerrainState& state);

// The terrain saver as every driver runs it (see saver_life.h): creation
// reads the settings and builds the first scene; each tick is TickTerrain,
// pausing through the place's pause; the timer period is 1 ms (which the
// platform raises to its shortest).
extern const SaverLife kTerrainLife;

// The record kTerrainLife keeps for one window.
struct TerrainSaverState {
    TerrainSettings settings;
    RuntimeRandom random;
    TerrainState scene;
};
