// The savers a headless driver can run (the renderer, the web page), each by
// its life's table (saver_life.h), found by name.
#pragma once

#include <string>

#include "common/saver_life.h"

// nullptr for an unknown name.
const SaverLife* FindSaver(const std::string& name);
bool SaverHasKey(const SaverLife& saver, const std::string& key); // ASCII case ignored
std::string SaverNames(); // comma-separated
