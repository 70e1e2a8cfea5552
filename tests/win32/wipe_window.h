// A wipe on a window of a test or timing program, as the terrain saver's
// window plays one: on the window's private device context, with the stock
// black brush and pen selected for the wipe, and the brush, pen and drawing
// origin found before it put back after it.
#pragma once

#include <windows.h>

#include "common/runtime_random.h"
#include "common/step_pause.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "terrain/terrain_wipes.h"

// Plays wipe `number` (a random one when it lies outside 0..14) on the
// window's client area. Random numbers come from `random`, pauses go to
// `pause`. Returns the number of the wipe played.
inline int PlayWipeOnWindow(HWND window, RuntimeRandom& random, StepPause& pause, int number, int delayFactor)
{
    RECT client{};
    GetClientRect(window, &client);
    // Without a context nothing is drawn; the wipe still runs, so its random
    // numbers are drawn as always.
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc);
    return PlayWipe(surface, random, pause, client.right, client.bottom, number, delayFactor);
}
