#include "terrain_life.h"

#include <memory>
#include <new>

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

namespace {

const char* const kTerrainKeys[] = {"Depth", "Speed", "Mode", "Level", "Color", "Erase", "Threshold", nullptr};

// Wipes that pause need somewhere to pause; a driver that gives no pause
// gets pauses that return at once.
class NoWaitPause : public StepPause {
public:
    void Pause(int) override {}
};

StepPause& PlacePause(const SaverPlace& place)
{
    static NoWaitPause noWait;
    return place.pause != nullptr ? *place.pause : noWait;
}

void* CreateTerrainSaver(const SaverPlace& place, unsigned& timerPeriod)
{
    try {
        auto saver = std::make_unique<TerrainSaverState>();
        if (place.settings != nullptr) saver->settings = LoadTerrainSettings(*place.settings);
        if (place.surface != nullptr)
            InitTerrain(saver->scene, saver->settings, saver->random, place.seed, *place.surface, place.width, place.height,
                        dynamic_cast<TerrainEvents*>(place.events));
        timerPeriod = 1;
        return saver.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TickTerrainSaver(void* state, const SaverPlace& place)
{
    if (state == nullptr || place.surface == nullptr) return;
    auto& saver = *static_cast<TerrainSaverState*>(state);
    TickTerrain(saver.scene, saver.settings, saver.random, *place.surface, PlacePause(place), place.width, place.height,
                dynamic_cast<TerrainEvents*>(place.events));
}

void DestroyTerrainSaver(void* state) { delete static_cast<TerrainSaverState*>(state); }

} // namespace

const SaverLife kTerrainLife = {"terrain", kTerrainSection, kTerrainKeys, CreateTerrainSaver, TickTerrainSaver, DestroyTerrainSaver};
