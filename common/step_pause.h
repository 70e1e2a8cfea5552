// The pause seam: effect steps that wait between their drawings (the terrain
// saver's wipes) wait through it. The Windows program sleeps; the headless
// renderer and the tests record the pauses instead of waiting.
#pragma once

class StepPause {
public:
    virtual ~StepPause() = default;
    // Waits the given number of milliseconds; 0 returns at once.
    virtual void Pause(int milliseconds) = 0;
};
