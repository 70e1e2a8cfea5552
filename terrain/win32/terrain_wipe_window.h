// A wipe on the terrain saver's window.
#pragma once

#include <windows.h>

#include "common/runtime_random.h"
#include "common/step_pause.h"

// Plays wipe `number` (a random one when it lies outside 0..14) on the
// window's client area, through the window's private device context: the
// stock black brush and pen are selected for the wipe, and the brush, pen and
// drawing origin found before it are put back after it. Random numbers come
// from `random`, pauses go to `pause`. Returns the number of the wipe played.
int PlayWipeOnWindow(HWND window, RuntimeRandom& random, StepPause& pause, int number, int delayFactor);
