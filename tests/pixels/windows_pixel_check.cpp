// Draws again, with the native build, every picture the Windows tests wrote
// into a pixel ledger (pixel_ledger.h), and compares: a relief frame, a
// terrain scene, or a wipe's surface at each of its pauses. A Windows build
// whose programs compute any step differently from the native build (another
// rounding, another maths library, a runtime look-up) fails here.
//
//   windows_pixel_check LEDGER [KIND=COUNT]...
//
// Each KIND=COUNT asks for at least COUNT lines of that kind, so a Windows
// test that stopped writing its lines does not pass unseen. Exit code 0 when
// every line matches, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "relief/relief_life.h"
#include "terrain/terrain_life.h"
#include "tests/effect/wipe_harness.h"
#include "tests/pixels/pixel_ledger.h"

namespace {

using pixel_ledger::Entry;

// The settings as a file would give them: every field that is not the
// ledger's own is a key of the saver's section.
class EntrySettings : public SettingsStore {
public:
    explicit EntrySettings(const Entry& entry) : entry_(entry) {}
    std::int32_t ReadSettingInt(const char*, const char* key, std::int32_t defaultValue) override
    {
        const auto found = entry_.fields.find(key);
        return found == entry_.fields.end() ? defaultValue : static_cast<std::int32_t>(std::stol(found->second));
    }
    void WriteSettingString(const char*, const char*, const char*) override {}

private:
    const Entry& entry_;
};

std::string CheckRelief(const Entry& entry)
{
    const int w = static_cast<int>(entry.Number("width")), h = static_cast<int>(entry.Number("height"));
    EntrySettings store(entry);
    const ReliefSettings settings = LoadReliefSettings(store);
    if (entry.Text("picture") != "pattern") return "unknown picture " + entry.Text("picture");
    const std::vector<std::uint8_t> picture = pixel_ledger::PatternPicture(w, h);
    ReliefState state;
    RuntimeRandom random;
    InitRelief(state, settings, random, static_cast<std::uint32_t>(entry.Number("seed")), w, h, 0, picture.data(), picture.size());
    SoftwareSurface surface(w, h);
    for (long long tick = 0; tick < entry.Number("ticks"); ++tick) TickRelief(state, random, surface);
    const std::string native = pixel_ledger::HexHash(pixel_ledger::HashPixels(surface.pixels));
    return native == entry.Text("frame") ? "" : "frame " + entry.Text("frame") + ", native " + native;
}

std::string CheckTerrain(const Entry& entry)
{
    const int w = static_cast<int>(entry.Number("width")), h = static_cast<int>(entry.Number("height"));
    EntrySettings store(entry);
    const TerrainSettings settings = LoadTerrainSettings(store);
    TerrainState state;
    RuntimeRandom random;
    SoftwareSurface surface(w, h);
    RecordedPauses pauses;
    InitTerrain(state, settings, random, static_cast<std::uint32_t>(entry.Number("seed")), surface, w, h);
    for (long long tick = 0; tick < entry.Number("ticks"); ++tick) TickTerrain(state, settings, random, surface, pauses, w, h);
    const std::string native = pixel_ledger::HexHash(pixel_ledger::HashPixels(surface.pixels));
    return native == entry.Text("frame") ? "" : "frame " + entry.Text("frame") + ", native " + native;
}

std::string CheckWipe(const Entry& entry)
{
    const int w = static_cast<int>(entry.Number("width")), h = static_cast<int>(entry.Number("height"));
    SoftwareSurface surface(w, h);
    FillWithPattern(surface);
    RuntimeRandom random;
    SeedRuntimeRandom(random, static_cast<std::uint32_t>(entry.Number("seed")));
    RecordedPauses pauses;
    std::string native;
    pauses.onPause = [&] { native += pixel_ledger::HexHash(pixel_ledger::HashPixels(surface.pixels)) + ","; };
    PlayWipe(surface, random, pauses, w, h, static_cast<int>(entry.Number("number")), static_cast<int>(entry.Number("delay")));
    native += pixel_ledger::HexHash(pixel_ledger::HashPixels(surface.pixels));
    if (native == entry.Text("pauses")) return "";
    // The first pause (counted from 1; the last is the end) that differs.
    std::size_t at = 0, pause = 1;
    const std::string& seen = entry.Text("pauses");
    while (at < native.size() && at < seen.size() && native[at] == seen[at]) {
        if (native[at] == ',') ++pause;
        ++at;
    }
    return "differs from pause " + std::to_string(pause) + " on";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: windows_pixel_check LEDGER [KIND=COUNT]...\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "windows_pixel_check: no ledger %s (did the Windows tests run?)\n", argv[1]);
        return 1;
    }
    std::map<std::string, int> counts;
    int failed = 0;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        Entry entry;
        std::string problem;
        if (!pixel_ledger::ParseLine(line, entry)) problem = "not a ledger line";
        else if (entry.kind == "relief") problem = CheckRelief(entry);
        else if (entry.kind == "terrain") problem = CheckTerrain(entry);
        else if (entry.kind == "wipe") problem = CheckWipe(entry);
        else problem = "unknown kind";
        ++counts[entry.kind];
        if (!problem.empty()) {
            ++failed;
            std::printf("line %d differs from the native build: %s\n  %s\n", number, problem.c_str(), line.c_str());
        }
    }
    for (int i = 2; i < argc; ++i) {
        const std::string wanted = argv[i];
        const std::size_t equals = wanted.find('=');
        if (equals == std::string::npos) continue;
        const std::string kind = wanted.substr(0, equals);
        const int least = std::atoi(wanted.c_str() + equals + 1);
        if (counts[kind] < least) {
            ++failed;
            std::printf("%d %s line(s), at least %d expected\n", counts[kind], kind.c_str(), least);
        }
    }
    for (const auto& count : counts) std::printf("%s: %d line(s)\n", count.first.c_str(), count.second);
    std::printf(failed == 0 ? "every picture drawn on Windows is the native build's\n" : "%d problem(s)\n", failed);
    return failed == 0 ? 0 : 1;
}
