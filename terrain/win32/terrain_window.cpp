// The terrain saver's window: the host's window skeleton over the terrain
// saver's life.
#include "terrain_window.h"

#include "common/win32/profile_settings_store.h"
#include "host/saver_host.h"
#include "terrain/terrain_life.h"

TerrainSettings gTerrainSettings;

namespace {

const SaverWindowParts kTerrainWindowParts = {&kTerrainLife, nullptr, nullptr};

} // namespace

void LoadTerrainSettingsFromProfile()
{
    SaverSettingsStore store;
    gTerrainSettings = LoadTerrainSettings(store);
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DriveSaverWindow(kTerrainWindowParts, window, message, wParam, lParam);
}
