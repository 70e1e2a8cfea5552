#include "terrain_wipe_window.h"

#include "common/win32/gdi_guards.h"
#include "common/win32/gdi_surface.h"
#include "terrain/terrain_wipes.h"

int PlayWipeOnWindow(HWND window, RuntimeRandom& random, StepPause& pause, int number, int delayFactor)
{
    RECT client{};
    GetClientRect(window, &client);
    // Without a context the surface takes one per call; the wipe still runs,
    // so its random numbers are drawn as always.
    WindowDc dc(window);
    GdiSurface surface(window, dc.dc);
    return PlayWipe(surface, random, pause, client.right, client.bottom, number, delayFactor);
}
