// The pause seam: effect steps that wait between their drawings (the terrain
// saver's wipes) wait through it. The Windows program sleeps; the headless
// renderer and the tests record the pauses instead of waiting.
#pragma once

class StepPause {
public:
    virtual ~StepPause() = default;
    // Waits the given number of milliseconds; 0 (or less) returns at once.
    virtual void Pause(int milliseconds) = 0;
};

// Paces a run of pauses against the clock: the pauses asked for so far are
// added up into a due time, counted from the run's start, and each pause
// sleeps only until then. The time the drawing between two pauses took is so
// taken out of the next pause, and a wipe lasts as long as its pauses add up
// to (or as long as its drawing, where that takes longer), not their sum plus
// all of its drawing.
struct PauseSchedule {
    double dueMilliseconds = 0.0;
    // The whole milliseconds to sleep for a pause of `milliseconds`, with
    // `elapsedMilliseconds` gone since the run started.
    int Next(int milliseconds, double elapsedMilliseconds)
    {
        if (milliseconds > 0) dueMilliseconds += milliseconds;
        const double remaining = dueMilliseconds - elapsedMilliseconds;
        return remaining >= 1.0 ? static_cast<int>(remaining) : 0;
    }
};
