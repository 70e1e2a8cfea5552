// The savers the renderer can run, with the settings each one reads. A saver
// with a `start` is run by its own name as the first word (frames and a
// per-tick trace line); one without is run by a command of its own that
// drives its life directly (the terrain saver: wipes, pauses and scene
// events). Either way it is started the way its window is created and then
// ticked the way its timer ticks; the renderer only drives it and records
// what it draws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "common/software_surface.h"

class SaverRun {
public:
    virtual ~SaverRun() = default;
    // One timer tick: draws on the surface and returns the tick's trace
    // fields, e.g. "px 12 py 40".
    virtual std::string Tick(SoftwareSurface& surface) = 0;
    // False when window creation could not set the saver up (it then draws nothing).
    virtual bool Ready() const = 0;
};

struct SaverInfo {
    const char* name;
    const char* section;      // settings section the saver reads
    const char* const* keys;  // its setting keys, ending with nullptr
    // Window creation with the seed, client size and desktop picture (bottom-up
    // BGR, width x height x 3 bytes), settings read from store. nullptr for a
    // saver run by a command of its own.
    std::unique_ptr<SaverRun> (*start)(SettingsStore& store, std::uint32_t seed, int width, int height,
                                       const std::vector<std::uint8_t>& picture);
};

// nullptr for an unknown name.
const SaverInfo* FindSaver(const std::string& name);
bool SaverHasKey(const SaverInfo& saver, const std::string& key); // ASCII case ignored
std::string SaverNames(); // comma-separated
