// The life's state record the host's window skeleton keeps for a saver
// window, as the saver that runs there defines it (ReliefSaverState,
// TerrainSaverState); nullptr while the window has none.
#pragma once

#include <windows.h>

#include "host/saver_host_state.h"

template <typename State>
State* SaverWindowStateOf(HWND window)
{
    return static_cast<State*>(FindSaverWindowState(window));
}
