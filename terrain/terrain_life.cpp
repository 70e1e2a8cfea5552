#include "terrain_life.h"

#include "terrain_wipes.h"

void InitTerrain(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, std::uint32_t seed,
                 DrawSurface& surface, int clientWidth, int clientHeight, TerrainEvents* events)
{
    SeedRuntimeRandom(random, seed);
    NewTerrainScene(state, settings, random, surface, clientWidth, clientHeight);
    if (events) events->SceneBuilt(state);
    state.tickCount = 0;
    state.ticksPerScene = TerrainTicksPerScene(settings.Speed);
    state.quadsPerTick = TerrainQuadsPerTick(settings.Speed);
}

void TickTerrain(TerrainState& state, const TerrainSettings& settings, RuntimeRandom& random, DrawSurface& surface,
                 StepPause& pause, int clientWidth, int clientHeight, TerrainEvents* events)
{
    if (state.tickCount == state.ticksPerScene) {
        // The wipe's own draws come before the new scene's.
        int played = -1;
        if (settings.Erase == 1) played = PlayWipe(surface, random, pause, clientWidth, clientHeight, -1, 2);
        else if (settings.Erase >= 2) played = PlayWipe(surface, random, pause, clientWidth, clientHeight, settings.Erase - 2, 2);
        if (events) events->WipePlayed(played);
        NewTerrainScene(state, settings, random, surface, clientWidth, clientHeight);
        if (events) events->SceneBuilt(state);
        state.tickCount = 0;
    }
    ++state.tickCount;
    DrawTerrainStep(state, surface, events);
}

void FreeTerrain(TerrainState& state)
{
    state.grid.reset();
    state.palette.colors.clear();
    state.palette.colors.shrink_to_fit();
    state.maxHeight = 0;
}
