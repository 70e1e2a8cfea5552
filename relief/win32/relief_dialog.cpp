// The relief saver's settings dialog (resource 2003) and its control classes.
#include <windows.h>
#include <commctrl.h>

#include "host/saver_host.h"

namespace {
HINSTANCE gReliefInstance = nullptr;
}

extern "C" BOOL WINAPI RegisterSaverDialogControls(HINSTANCE instance)
{
    gReliefInstance = instance;
    InitCommonControls(); // the dialog's sliders are trackbars
    return TRUE;
}

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndDialog(dialog, 1); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: break;
        }
        break;
    case WM_CLOSE:
        // The close box ends the modal dialog like cancel: nothing saved.
        EndDialog(dialog, 0);
        return TRUE;
    default:
        break;
    }
    return FALSE;
}
