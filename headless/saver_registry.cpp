#include "headless/saver_registry.h"

#include <cctype>

#include "relief/relief_life.h"
#include "terrain/terrain_life.h"

namespace {

const SaverLife* const kSavers[] = {&kReliefLife, &kTerrainLife};

} // namespace

const SaverLife* FindSaver(const std::string& name)
{
    for (const SaverLife* s : kSavers) {
        if (name == s->name) return s;
    }
    return nullptr;
}

bool SaverHasKey(const SaverLife& saver, const std::string& key)
{
    for (const char* const* k = saver.keys; *k; ++k) {
        const std::string known = *k;
        if (known.size() != key.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < key.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(known[i])) == std::tolower(static_cast<unsigned char>(key[i]));
        if (same) return true;
    }
    return false;
}

std::string SaverNames()
{
    std::string names;
    for (const SaverLife* s : kSavers) {
        if (!names.empty()) names += ", ";
        names += s->name;
    }
    return names;
}
