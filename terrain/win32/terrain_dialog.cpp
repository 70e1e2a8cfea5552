// The terrain saver's settings dialog (resource 2003): two sliders and five
// lists that show the settings file's values, OK writing all seven keys, and
// a button that opens an e-mail to the author. What it shows and stores is
// decided in terrain_dialog_logic; this file only moves values.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "common/win32/dialog_sliders.h"
#include "common/win32/profile_settings_store.h"
#include "host/saver_host.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain_resources.h"
#include "terrain_window.h"

static_assert(IDC_TERRAIN_OK == kTerrainDialogOk && IDC_TERRAIN_CANCEL == kTerrainDialogCancel && IDC_TERRAIN_DEPTH == kTerrainDepthSlider &&
                  IDC_TERRAIN_MAIL == kTerrainAuthorButton && IDC_TERRAIN_SPEED == kTerrainSpeedSlider && IDC_TERRAIN_MODE == kTerrainModeList &&
                  IDC_TERRAIN_LEVEL == kTerrainLevelList && IDC_TERRAIN_ERASE == kTerrainEraseList &&
                  IDC_TERRAIN_THRESHOLD == kTerrainThresholdList && IDC_TERRAIN_COLOR == kTerrainColorList,
              "the resource script and the dialog logic name the same controls");

namespace {

constexpr bool SameText(const char* a, const char* b) { return *a == *b && (*a == '\0' || SameText(a + 1, b + 1)); }
static_assert(SameText(TERRAIN_AUTHOR_MAIL, kTerrainAuthorMail), "the button shows the address its link opens");

// The selected line, -1 when none is.
int SelectedLine(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

void InitTerrainDialog(HWND dialog)
{
    LoadTerrainSettingsFromProfile();
    const TerrainDialogView view = ViewTerrainSettings(gTerrainSettings);
    SetUpSlider(dialog, kTerrainSliders[0], view.depthPosition);
    SetUpSlider(dialog, kTerrainSliders[1], view.speedPosition);
    const std::vector<TerrainListSetup> lists = TerrainDialogLists();
    for (std::size_t n = 0; n < lists.size(); ++n) {
        for (const std::string& line : lists[n].lines) SendDlgItemMessageA(dialog, lists[n].id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendDlgItemMessageA(dialog, lists[n].id, CB_SETCURSEL, static_cast<WPARAM>(view.selections[n]), 0);
    }
}

void SaveTerrainDialog(HWND dialog)
{
    gTerrainSettings = TerrainSettingsFromControls(SliderPosition(dialog, IDC_TERRAIN_DEPTH), SliderPosition(dialog, IDC_TERRAIN_SPEED),
                                                   SelectedLine(dialog, IDC_TERRAIN_MODE), SelectedLine(dialog, IDC_TERRAIN_LEVEL),
                                                   SelectedLine(dialog, IDC_TERRAIN_COLOR), SelectedLine(dialog, IDC_TERRAIN_ERASE),
                                                   SelectedLine(dialog, IDC_TERRAIN_THRESHOLD));
    // Beside the program, or in the user's own file where that cannot be written.
    SaverSettingsStore store;
    SaveTerrainSettings(store, gTerrainSettings);
}

void OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: // Enter: OK is the default button
    case IDC_TERRAIN_OK:
        SaveTerrainDialog(dialog);
        EndDialog(dialog, 1);
        break;
    case IDC_TERRAIN_CANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_TERRAIN_MAIL:
        ShellExecuteA(dialog, "open", kTerrainAuthorLink, nullptr, nullptr, SW_SHOW);
        break;
    default: // Esc (IDCANCEL) and the lists' notifications: the dialog stays open
        break;
    }
}

} // namespace

extern "C" BOOL WINAPI RegisterSaverDialogControls(HINSTANCE)
{
    InitCommonControls(); // the two sliders are trackbars
    return TRUE;
}

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    try {
        switch (message) {
        case WM_INITDIALOG: InitTerrainDialog(dialog); return TRUE;
        case WM_COMMAND: OnCommand(dialog, wParam); return TRUE;
        // The close box ends the modal dialog as "&Annuler" does: exit code 0,
        // nothing saved, and the owner enabled again.
        case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
        case WM_DESTROY: return TRUE;
        default: return FALSE;
        }
    } catch (...) {
        // Nothing escapes a dialog procedure.
        return TRUE;
    }
}
