#include "terrain_dialog_logic.h"

#include "terrain_wipes.h"

const SliderSetup kTerrainSliders[2] = {
    {kTerrainDepthSlider, 10, 100, 10, 10, 1},
    {kTerrainSpeedSlider, 1, 5, 1, 1, 1},
};

std::vector<TerrainListSetup> TerrainDialogLists()
{
    std::vector<std::string> erase = {"[None]", "[Random]"};
    // The wipes' own names, in wipe-number order: line n plays wipe n - 2.
    for (const WipeTableEntry& wipe : kWipeTable) erase.emplace_back(wipe.eraseText);
    return {
        {kTerrainModeList, {"[Random]", "Smooth", "Normal"}},
        {kTerrainLevelList, {"[Random]", "High", "Medium", "Low"}},
        {kTerrainColorList,
         {"[Random]", "Color wheel", "Brown to green", "Green to yellow", "Darkblue to yellow", "Brown to magenta", "Gray scale",
          "Blue green scale", "Green to magenta", "Brown to blue", "Brown to red", "Magenta to orange", "Magenta scale"}},
        {kTerrainEraseList, erase},
        {kTerrainThresholdList, {"[Random]", "High", "Low"}},
    };
}

namespace {

int OnSlider(const SliderSetup& slider, std::int32_t value)
{
    return value < slider.first ? slider.first : value > slider.last ? slider.last : static_cast<int>(value);
}

} // namespace

TerrainDialogView ViewTerrainSettings(const TerrainSettings& settings)
{
    TerrainDialogView view;
    view.depthPosition = OnSlider(kTerrainSliders[0], settings.Depth);
    view.speedPosition = OnSlider(kTerrainSliders[1], settings.Speed);
    view.selections = {settings.Mode, settings.Level, settings.Color, settings.Erase, settings.Threshold};
    return view;
}

TerrainSettings TerrainSettingsFromControls(int depthPosition, int speedPosition, int modeLine, int levelLine, int colorLine,
                                            int eraseLine, int thresholdLine)
{
    TerrainSettings s;
    s.Depth = depthPosition;
    s.Speed = speedPosition;
    s.Mode = modeLine;
    s.Level = levelLine;
    s.Color = colorLine;
    s.Erase = eraseLine;
    s.Threshold = thresholdLine;
    return s;
}
