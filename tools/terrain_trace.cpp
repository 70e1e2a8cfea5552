#include "terrain_trace.h"

#include <string>

void TerrainTraceWriter::SceneBuilt(const TerrainState& state)
{
    ++sceneCount_;
    if (!scenes_) return;
    const TerrainSceneChoices& c = state.choices;
    out_ << "scene " << sceneCount_ << " tick " << tick_ << " method " << (c.method == TerrainMethod::Smooth ? "smooth" : "normal")
         << " level " << c.level << " cut " << c.cut << " scheme " << state.scheme << " peaks " << c.peaks << " maxHeight "
         << state.maxHeight << '\n';
    // Without a grid (it could not be allocated) the scene has no cells.
    if (!state.grid) return;
    for (int d = 0; d < kTerrainGridSide; ++d) {
        out_ << "grid " << d;
        for (int a = 0; a < kTerrainGridSide; ++a) out_ << ' ' << TerrainCell(*state.grid, a, d);
        out_ << '\n';
    }
}

void TerrainTraceWriter::WipePlayed(int number)
{
    if (!scenes_) return;
    if (number < 0) out_ << "wipe none\n";
    else out_ << "wipe " << number << '\n';
}

void TerrainTraceWriter::QuadDrawing(int i, int j, int index, const SurfacePoint /*corners*/[4])
{
    if (quads_) quads_->LabelNextPolygon("quad " + std::to_string(i) + ' ' + std::to_string(j) + ' ' + std::to_string(index));
}
