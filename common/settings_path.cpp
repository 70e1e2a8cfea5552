#include "settings_path.h"

std::string BuildSettingsPath(const std::string& modulePath)
{
    const std::string::size_type dot = modulePath.rfind('.');
    if (dot == std::string::npos) {
        return modulePath + ".INI";
    }
    return modulePath.substr(0, dot + 1) + "INI";
}
