// The pause seam on Windows: waits paced by the performance counter, so that
// drawing time is taken out of the pauses (see PauseSchedule); without a
// performance counter each pause waits its whole time.
//
// Given a give-way question (the host's ShouldSaverStepGiveWay), a pause
// waits on the thread's message queue as well as on the clock: it asks the
// question before it waits and whenever one of the given kinds of message
// arrives, and once the answer is yes it returns at once and the step is told
// to stop. Nothing is taken from the queue or dispatched meanwhile. Without
// the question a pause only sleeps.
#pragma once

#include <windows.h>

#include "common/step_pause.h"

class SleepPause : public StepPause {
public:
    using GiveWayQuestion = int (*)();

    explicit SleepPause(GiveWayQuestion giveWay = nullptr, DWORD wakeKinds = 0) : giveWay_(giveWay), wakeKinds_(wakeKinds)
    {
        LARGE_INTEGER frequency{};
        paced_ = QueryPerformanceFrequency(&frequency) != 0 && frequency.QuadPart > 0 && QueryPerformanceCounter(&start_) != 0;
        ticksPerMillisecond_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    }

    void Pause(int milliseconds) override
    {
        // A negative time would reach the wait as an almost endless one.
        int wait = milliseconds > 0 ? milliseconds : 0;
        LARGE_INTEGER now{};
        const bool counted = paced_ && QueryPerformanceCounter(&now) != 0;
        if (counted) wait = schedule_.Next(milliseconds, MillisecondsSince(start_, now));
        if (giveWay_ == nullptr) {
            Sleep(static_cast<DWORD>(wait));
            return;
        }
        // The wait is measured on one clock from its start, so that waking
        // for messages does not lengthen it; a counter that fails on the way
        // ends it.
        const LARGE_INTEGER begin = now;
        const DWORD beginTick = GetTickCount();
        for (;;) {
            if (StopRequested()) return;
            double waited = static_cast<double>(GetTickCount() - beginTick); // unsigned: wraps right
            if (counted) waited = QueryPerformanceCounter(&now) != 0 ? MillisecondsSince(begin, now) : wait;
            if (waited >= wait) return;
            DWORD left = static_cast<DWORD>(wait - waited);
            if (left < wait - waited) ++left;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, left, wakeKinds_);
        }
    }

    bool StopRequested() override
    {
        if (!stopped_ && giveWay_ != nullptr && giveWay_() != 0) stopped_ = true;
        return stopped_;
    }

private:
    double MillisecondsSince(LARGE_INTEGER from, LARGE_INTEGER to) const
    {
        return static_cast<double>(to.QuadPart - from.QuadPart) / ticksPerMillisecond_;
    }

    GiveWayQuestion giveWay_;
    DWORD wakeKinds_;
    bool stopped_ = false;
    bool paced_ = false;
    LARGE_INTEGER start_{};
    double ticksPerMillisecond_ = 1.0;
    PauseSchedule schedule_;
};
