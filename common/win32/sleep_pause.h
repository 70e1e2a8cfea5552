// The pause seam on Windows: the platform's Sleep, paced against the
// performance counter so that drawing time is taken out of the pauses (see
// PauseSchedule). Without a performance counter each pause sleeps its time.
#pragma once

#include <windows.h>

#include "common/step_pause.h"

class SleepPause : public StepPause {
public:
    SleepPause()
    {
        LARGE_INTEGER frequency{};
        paced_ = QueryPerformanceFrequency(&frequency) != 0 && frequency.QuadPart > 0 && QueryPerformanceCounter(&start_) != 0;
        ticksPerMillisecond_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    }

    void Pause(int milliseconds) override
    {
        // A negative time would reach Sleep as an almost endless wait.
        int sleep = milliseconds > 0 ? milliseconds : 0;
        LARGE_INTEGER now{};
        if (paced_ && QueryPerformanceCounter(&now) != 0)
            sleep = schedule_.Next(milliseconds, static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerMillisecond_);
        Sleep(static_cast<DWORD>(sleep));
    }

private:
    bool paced_ = false;
    LARGE_INTEGER start_{};
    double ticksPerMillisecond_ = 1.0;
    PauseSchedule schedule_;
};
