// The relief saver's life as the window sees it: create, tick, destroy.
// The Win32 window procedure and the headless renderer both run exactly this,
// so what the renderer writes is what the window shows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../common/draw_surface.h"
#include "../common/runtime_random.h"
#include "../common/saver_life.h"
#include "relief_settings.h"
#include "relief_state.h"

// The client size as the saver's 16-bit record holds it (negative sizes are 0,
// sizes beyond 65535 are 65535).
std::uint16_t ReliefDimension(int clientSize);

// Window creation: seeds the generator, clears the state, takes the client size,
// builds the palette ramp, lens map and sine table (drawing the base colour
// when UseColor is 0, then the path's phases and speeds), then the height field
// from the picture (bottom-up BGR, width x height x 3 bytes; a shorter picture
// is black where it ends) and the softening passes, and last the frame
// tables derived from them. pixelBytes: the lens square's layout, 3 bytes a
// pixel, or 4 for a display that takes those as they are.
// Returns false, with the state cleared, when the tables cannot be allocated;
// such a window then draws nothing.
bool InitRelief(ReliefState& state, const ReliefSettings& settings, RuntimeRandom& random, std::uint32_t seed,
                int clientWidth, int clientHeight, std::int32_t usePalette,
                const std::uint8_t* picture, std::size_t pictureSize, int pixelBytes = 3);

// One timer tick: steps the light path (two draws), computes the lens pixels
// and puts the S x S square at column px, top edge height / 2 - py.
ReliefPathPosition TickRelief(ReliefState& state, RuntimeRandom& random, DrawSurface& surface);

// The top edge of the lens square on the window for a path position.
inline int ReliefSquareTop(const ReliefState& state, ReliefPathPosition position) { return state.height / 2 - position.py; }

void FreeRelief(ReliefState& state);

// The relief saver as every driver runs it (see saver_life.h): creation reads
// the settings, builds the state from the place's picture and, on a palette
// display, selects the ramp's palette; each tick draws one lens frame; the
// timer period is Delay.
extern const SaverLife kReliefLife;

// The record kReliefLife keeps for one window.
struct ReliefSaverState {
    ReliefSettings settings;
    RuntimeRandom random;
    ReliefState relief;
    // The ramp as a logical palette, selected before every frame on a
    // palette display.
    SurfacePalette palette;
};

// Told after every tick where the light went (the renderer's trace).
class ReliefEvents : public SaverEvents {
public:
    virtual void LightMoved(ReliefPathPosition position) = 0;
};
