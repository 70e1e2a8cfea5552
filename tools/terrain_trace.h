// What `saver-render terrain` traces of the terrain saver's life, told by its
// events as they happen:
//   scene S tick T method smooth|normal level L cut C scheme X peaks P maxHeight H
//   grid D v0 v1 ... v49          (50 lines per scene, depth D = 0..49)
//   wipe K | wipe none            (at a scene change, before the new scene)
// and, for the drawing trace, the label "quad I J INDEX" given to each quad's
// polygon just before it is drawn.
#pragma once

#include <cstdint>
#include <ostream>

#include "headless/tracing_surface.h"
#include "terrain/terrain_life.h"

class TerrainTraceWriter : public TerrainEvents {
public:
    // scenes: write the scene, grid and wipe lines to out. quads: the tracing
    // surface the saver draws through, whose quads get labelled (or nullptr).
    TerrainTraceWriter(std::ostream& out, bool scenes, TracingSurface* quads) : out_(out), scenes_(scenes), quads_(quads) {}

    // The tick about to run (0: window creation); a scene built from now on
    // is numbered with it.
    void SetTick(std::uint64_t tick) { tick_ = tick; }

    void SceneBuilt(const TerrainState& state) override;
    void WipePlayed(int number) override;
    void QuadDrawing(int i, int j, int index, const SurfacePoint corners[4]) override;

private:
    std::ostream& out_;
    bool scenes_;
    TracingSurface* quads_;
    std::uint64_t tick_ = 0;
    std::uint64_t sceneCount_ = 0;
};
