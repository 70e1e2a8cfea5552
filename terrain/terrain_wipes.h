// The terrain saver's fifteen wipes: animations that blacken the frame step by
// step between two scenes, pausing between steps. Each is a plain function of
// the program's generator and the frame size that draws through the drawing
// seam and waits through the pause seam, so the Windows program waits while
// the renderer and the tests record; a pause that says stop ends the wipe
// where it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "../common/draw_surface.h"
#include "../common/runtime_random.h"
#include "../common/step_pause.h"

constexpr int kWipeCount = 15;
// The period, divisor and pause base that PlayWipe hands every wipe.
constexpr int kWipeUnit = 25;

// What one wipe works with: where it draws, the generator it draws its random
// numbers from, how it pauses, the frame of w x h pixels, and the two values
// that set its pauses.
struct WipeContext {
    DrawSurface& surface;
    RuntimeRandom& random;
    StepPause& pause;
    int w;
    int h;
    int delayFactor;
    int unit;
};

using WipeOperation = void (*)(WipeContext& wipe);

struct WipeTableEntry {
    const char* eraseText; // the wipe's line in the Erase list of the settings dialog
    WipeOperation operation;
};

// The wipe table, in wipe-number order (Erase value = number + 2).
extern const WipeTableEntry kWipeTable[kWipeCount];

// Clears a frame of w x h pixels with wipe `number`, or, when number is
// outside 0..14, with a wipe drawn at random before anything else (r mod 15).
// Runs the wipe to its end, or until the pause says stop, and returns the
// number of the wipe it played.
int PlayWipe(DrawSurface& surface, RuntimeRandom& random, StepPause& pause, int w, int h, int number, int delayFactor);

// The wipes, each called only through the table. Lines, bands and pixels:
void WipeRandomLines(WipeContext& wipe);   // 0
void WipeVenetian(WipeContext& wipe);      // 1
void WipeTriple(WipeContext& wipe);        // 2
void WipeQuad(WipeContext& wipe);          // 3
void WipeFizzle(WipeContext& wipe);        // 7
void WipeRandomSquares(WipeContext& wipe); // 8
void WipeSlideLines(WipeContext& wipe);    // 10
void WipeWipebarInner(WipeContext& wipe);  // 14
// Sectors, triangles and regions:
void WipeCircle(WipeContext& wipe);        // 4
void WipeThreeCircle(WipeContext& wipe);   // 5
void WipeSquarerate(WipeContext& wipe);    // 6
void WipeSpiral(WipeContext& wipe);        // 9
void WipeDiagonal(WipeContext& wipe);      // 11
void WipeCircleInner(WipeContext& wipe);   // 12
void WipeStarOuter(WipeContext& wipe);     // 13

// Helpers the wipes share.
// A coin: the lowest bit of a fresh value (1: heads).
inline bool DrawWipeCoin(WipeContext& wipe) { return (DrawRuntimeRandom(wipe.random) & 1) != 0; }
// r mod n, n > 0.
inline int DrawWipeRandom(WipeContext& wipe, int n) { return DrawRuntimeRandom(wipe.random) % n; }
// Pauses and says whether the wipe goes on: false once the pause says stop
// (the user is back). The wipe then returns at once, as at its end, with its
// drawing origin put back and nothing more drawn.
inline bool PauseWipe(WipeContext& wipe, int milliseconds)
{
    wipe.pause.Pause(milliseconds);
    return !wipe.pause.StopRequested();
}
// The same for a wipe that makes no pauses, asked between its drawings.
inline bool WipeGoesOn(WipeContext& wipe) { return !wipe.pause.StopRequested(); }
// A list of count zeros, or false when it cannot be had (no memory). A wipe
// whose list cannot be had never touches it: it blackens the whole frame with
// one rectangle instead of its steps.
bool AllocateWipeList(std::size_t count, std::vector<int>& list);
// What a wipe does instead of its steps when its list cannot be had.
void BlackenWholeFrame(WipeContext& wipe);
