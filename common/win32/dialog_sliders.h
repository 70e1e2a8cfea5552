// The settings dialogs' trackbars.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "common/slider_setup.h"

// Range (with redraw), position (with redraw), tick frequency, page size and
// line size, in that order. The trackbar keeps the thumb inside its range: an
// odd position shows at the nearer end.
inline void SetUpSlider(HWND dialog, const SliderSetup& setup, int position)
{
    HWND slider = GetDlgItem(dialog, setup.id);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(setup.first, setup.last));
    SendMessageA(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
    SendMessageA(slider, TBM_SETTICFREQ, static_cast<WPARAM>(setup.ticFrequency), 0);
    SendMessageA(slider, TBM_SETPAGESIZE, 0, setup.pageSize);
    SendMessageA(slider, TBM_SETLINESIZE, 0, setup.lineSize);
}

inline int SliderPosition(HWND dialog, int id) { return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0)); }
