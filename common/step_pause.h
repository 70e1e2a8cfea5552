// The pause seam: effect steps that wait between their drawings (the terrain
// saver's wipes) wait through it. The Windows program waits on its message
// queue and the clock; the headless renderer and the tests record the pauses
// instead of waiting.
//
// The pause is also the one place a step can notice that it must give way:
// the user is back, or another program waits for the window. It then says
// stop, and the step returns at once through the way it returns at its end,
// drawing nothing more. A pause that only records never says stop, so what it
// records is the step's whole sequence of drawings and pauses.
#pragma once

class StepPause {
public:
    virtual ~StepPause() = default;
    // Waits the given number of milliseconds; 0 (or less) returns at once.
    // Returns early, and at once from then on, once the step is to stop.
    virtual void Pause(int milliseconds) = 0;
    // Whether the step is to stop now. Asked after every pause and, in a step
    // that makes no pauses, between its drawings; once true it stays true
    // for the rest of the step.
    virtual bool StopRequested() { return false; }
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
