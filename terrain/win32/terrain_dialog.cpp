// The terrain saver's settings dialog (resource 2003), for now without
// settings: "&OK" ends it with 1 and "&Annuler" with 0, and neither writes the
// settings file.
#include <windows.h>
#include <commctrl.h>

#include "host/saver_host.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain_resources.h"

static_assert(IDC_TERRAIN_OK == kTerrainDialogOk && IDC_TERRAIN_CANCEL == kTerrainDialogCancel,
              "the resource script and the dialog logic name the same buttons");

namespace {

void OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK: // Enter
    case IDC_TERRAIN_OK:
        EndDialog(dialog, 1);
        break;
    case IDCANCEL: // Esc
    case IDC_TERRAIN_CANCEL:
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" BOOL WINAPI RegisterSaverDialogControls(HINSTANCE)
{
    InitCommonControls(); // the settings to come are set with trackbars
    return TRUE;
}

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: OnCommand(dialog, wParam); return TRUE;
    // The close box ends the modal dialog as "&Annuler" does: exit code 0,
    // and the owner enabled again.
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}
