// The rule that puts a saver's settings file beside the program.
#pragma once

#include <string>

// Everything after the last "." of the module path (directories included)
// becomes "INI": D:\SAVERS\RELIEF.SCR -> D:\SAVERS\RELIEF.INI,
// D:\A.B\SAVER -> D:\A.INI. A path with no "." at all gets ".INI" appended.
std::string BuildSettingsPath(const std::string& modulePath);
