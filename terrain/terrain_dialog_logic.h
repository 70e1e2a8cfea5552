// What the terrain saver's settings dialog shows for given settings and what
// it stores for given control values, as plain numbers and text. The Win32
// dialog only moves these values between its controls and this file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../common/slider_setup.h"
#include "terrain_settings.h"

// Control identifiers of dialog 2003.
enum TerrainDialogControl {
    kTerrainDialogOk = 1010,
    kTerrainDialogCancel = 1011,
    kTerrainDepthSlider = 1015,
    kTerrainAuthorButton = 1016,
    kTerrainSpeedSlider = 1018,
    kTerrainModeList = 1042,
    kTerrainLevelList = 1043,
    kTerrainEraseList = 1046,
    kTerrainThresholdList = 1047,
    kTerrainColorList = 1048,
};

// The author's address: the caption of button 1016 and, behind "mailto:",
// the link it opens.
constexpr const char kTerrainAuthorMail[] = "kesmar@example.org";
constexpr const char kTerrainAuthorLink[] = "mailto:kesmar@example.org";

extern const SliderSetup kTerrainSliders[2]; // Depth, then Speed

// The five lists in the order they are filled, each with its lines.
struct TerrainListSetup {
    int id;
    std::vector<std::string> lines;
};
std::vector<TerrainListSetup> TerrainDialogLists();

// What the controls show for the settings: slider positions (a trackbar keeps
// its thumb inside its range, so a stored value outside it shows at the
// nearer end) and the selected line of each list, in list order.
struct TerrainDialogView {
    int depthPosition = 0;
    int speedPosition = 0;
    std::vector<int> selections; // Mode, Level, Color, Erase, Threshold
};
TerrainDialogView ViewTerrainSettings(const TerrainSettings& settings);

// The settings OK stores for the control values: slider positions as they
// are, each list's selected line (-1 when none is selected), nothing clamped.
TerrainSettings TerrainSettingsFromControls(int depthPosition, int speedPosition, int modeLine, int levelLine, int colorLine,
                                            int eraseLine, int thresholdLine);
