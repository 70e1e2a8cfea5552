// The pause seam on Windows: the platform's Sleep.
#pragma once

#include <windows.h>

#include "common/step_pause.h"

class SleepPause : public StepPause {
public:
    // A negative time would reach Sleep as an almost endless wait; it waits 0.
    void Pause(int milliseconds) override { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }
};
