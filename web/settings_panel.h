// The page's settings panel: the same controls, ranges, lists and texts as
// each saver's settings dialog, described as JSON for the page to lay out,
// and the settings stored from the controls' values as the dialog's OK
// stores them. Values are read and written through the savers' settings
// rules (LoadReliefSettings, SaveTerrainSettings, ...) and the dialogs'
// logic (relief_dialog_logic.h, terrain_dialog_logic.h).
#pragma once

#include <string>

#include "common/saver_life.h"
#include "common/settings_store.h"

// The relief dialog's sliders (kReliefSliders, relief/relief_dialog_logic.h):
// first and last position, by the INI key each one sets.
struct PanelRange {
    const char* key;
    int first;
    int last;
};
extern const PanelRange kReliefPanelRanges[4]; // Degrees, ColorCount (positions), Soften, Delay

// {"saver":NAME,"groups":[{"title":T,"controls":[CONTROL...]}...]} where a
// CONTROL is {"key":K,"kind":KIND,"label":L,"value":V,...}:
//   "range":  "min", "max", and "low"/"high" end texts where the dialog has them
//   "check":  value 0 or 1
//   "choice": "options":[{"value":V,"text":T}...] (radio buttons)
//   "list":   "options":[T...], value the selected line
//   "color":  the three keys RGB_Red, RGB_Green, RGB_Blue in "keys", "value" "#rrggbb"
// The values are what the dialog shows for the stored settings.
std::string SettingsPanelJson(const SaverLife& saver, SettingsStore& store);

// Stores the saver's settings from "Key=value" lines, one a control (the
// colour as RGB_Red, RGB_Green, RGB_Blue), as the dialog's OK does: every
// key written. A control the lines leave out keeps what the dialog would
// show for it.
void StoreSettingsPanel(const SaverLife& saver, const std::string& controls, SettingsStore& store);

// The relief dialog's palette preview for a base colour and count over a
// strip `stripWidth` pixels wide:
// {"bands":["#rrggbb"...],"bandWidth":W,"last":"#rrggbb","restLeft":X}.
std::string PalettePreviewJson(int red, int green, int blue, int colorCount, int stripWidth);
