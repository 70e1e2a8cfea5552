#include "saver_registry.h"

#include <cctype>

#include "relief/relief_life.h"
#include "terrain/terrain_settings.h"

namespace {

class ReliefRun : public SaverRun {
public:
    ReliefRun(SettingsStore& store, std::uint32_t seed, int width, int height, const std::vector<std::uint8_t>& picture)
    {
        const ReliefSettings settings = LoadReliefSettings(store);
        ready_ = InitRelief(state_, settings, random_, seed, width, height, /*usePalette*/ 0, picture.data(), picture.size());
    }
    ~ReliefRun() override { FreeRelief(state_); }

    std::string Tick(SoftwareSurface& surface) override
    {
        const ReliefPathPosition p = TickRelief(state_, random_, surface);
        return "px " + std::to_string(p.px) + " py " + std::to_string(p.py);
    }
    bool Ready() const override { return ready_; }

private:
    ReliefState state_;
    RuntimeRandom random_;
    bool ready_ = false;
};

std::unique_ptr<SaverRun> StartRelief(SettingsStore& store, std::uint32_t seed, int width, int height,
                                      const std::vector<std::uint8_t>& picture)
{
    return std::make_unique<ReliefRun>(store, seed, width, height, picture);
}

const char* const kReliefKeys[] = {"Degrees", "RGB_Red", "RGB_Green", "RGB_Blue", "UseColor",
                                   "ColorCount", "Delay", "Soften", "Invert", nullptr};

const char* const kTerrainKeys[] = {"Depth", "Speed", "Mode", "Level", "Color", "Erase", "Threshold", nullptr};

const SaverInfo kSavers[] = {
    {"relief", kReliefSection, kReliefKeys, StartRelief},
    {"terrain", kTerrainSection, kTerrainKeys, nullptr}, // saver-render terrain
};

} // namespace

const SaverInfo* FindSaver(const std::string& name)
{
    for (const SaverInfo& s : kSavers) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

bool SaverHasKey(const SaverInfo& saver, const std::string& key)
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
    for (const SaverInfo& s : kSavers) {
        if (!names.empty()) names += ", ";
        names += s.name;
    }
    return names;
}
