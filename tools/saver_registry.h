// The savers the renderer can run, each by its life's table (saver_life.h).
// `saver-render relief` runs a saver's frames with its settings and desktop
// picture; `saver-render terrain` runs the terrain saver's table with its
// scene events and pauses traced. Either way the saver is created the way
// its window is created and ticked the way its timer ticks; the renderer only
// drives it and records what it draws.
#pragma once

#include <string>

#include "common/saver_life.h"

// nullptr for an unknown name.
const SaverLife* FindSaver(const std::string& name);
bool SaverHasKey(const SaverLife& saver, const std::string& key); // ASCII case ignored
std::string SaverNames(); // comma-separated
