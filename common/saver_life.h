// A saver's life, the one shape every driver runs: create, tick, destroy over
// a state record of the saver's own. The Windows host's window skeleton runs
// it once per saver window, the headless renderer once per render, the web
// page once per canvas; none of them knows more of a saver than this table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw_surface.h"
#include "settings_store.h"
#include "step_pause.h"

// What a driver may want to hear of a saver's life besides its drawing (the
// renderer's trace). Each saver defines the events it tells, as a class
// derived from this one, and tells them only to a listener of that class.
class SaverEvents {
public:
    virtual ~SaverEvents() = default;
};

// Where a saver's life runs, as its driver tells it at every call.
struct SaverPlace {
    // Read at creation only.
    SettingsStore* settings = nullptr; // where the settings are read
    std::uint32_t seed = 0;            // the generator's seed
    int usePalette = 0;                // 1 on a palette-based display
    int pixelBytes = 3;                // 3, or 4 where the display takes 4-byte pixels as they are
    // The desktop picture, for a saver that starts from one: bottom-up rows
    // of blue, green, red, width x height x 3 bytes; a shorter picture is
    // black where it ends.
    const std::uint8_t* picture = nullptr;
    std::size_t pictureSize = 0;
    // Read at every call.
    DrawSurface* surface = nullptr;
    StepPause* pause = nullptr; // where a tick waits
    int width = 0;              // the client area as it is now
    int height = 0;
    SaverEvents* events = nullptr;
};

struct SaverLife {
    const char* name;        // "relief", "terrain"
    const char* section;     // the settings section
    const char* const* keys; // the setting keys, ending with nullptr
    // Window creation: reads the settings, builds the state (drawing what
    // creation draws) and sets the timer period in milliseconds. nullptr
    // when the state cannot be built (no memory for its tables): the window
    // then stays black and has no timer.
    void* (*create)(const SaverPlace& place, unsigned& timerPeriod);
    // One timer tick of a state create made.
    void (*tick)(void* state, const SaverPlace& place);
    // Window destruction: frees everything of the state (nullptr too).
    void (*destroy)(void* state);
};
