// The terrain saver's effect logic: settings, the scene clock, scene
// generation and its worked numbers, palettes, projection and quads, the
// order of random draws, and odd input.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "headless/ini_settings_store.h"
#include "tests/support/allocation_control.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain/terrain_life.h"
#include "wipe_harness.h"

namespace {

// Records what the life tells: the tick of every scene built, the wipes, the quads.
struct LifeRecord : TerrainEvents {
    int tick = 0;
    std::vector<int> sceneTicks;
    std::vector<int> wipes;
    std::vector<std::pair<int, int>> quads;
    std::vector<int> indices;
    void SceneBuilt(const TerrainState&) override { sceneTicks.push_back(tick); }
    void WipePlayed(int number) override { wipes.push_back(number); }
    void QuadDrawing(int i, int j, int index, const SurfacePoint*) override
    {
        quads.emplace_back(i, j);
        indices.push_back(index);
    }
};

struct TerrainRun {
    TerrainSettings settings;
    TerrainState state;
    RuntimeRandom random;
    SoftwareSurface surface;
    RecordedPauses pauses;
    LifeRecord record;
    int w, h;
    TerrainRun(int width, int height, std::uint32_t seed, const TerrainSettings& s) : settings(s), surface(width, height), w(width), h(height)
    {
        InitTerrain(state, settings, random, seed, surface, w, h, &record);
    }
    void Tick(int count = 1)
    {
        for (int n = 0; n < count; ++n) {
            ++record.tick;
            TickTerrain(state, settings, random, surface, pauses, w, h, &record);
        }
    }
};

TerrainSettings With(std::initializer_list<std::pair<const char*, std::int32_t>> values)
{
    TerrainSettings s;
    for (const auto& v : values) {
        const std::string key = v.first;
        std::int32_t* field = key == "Depth" ? &s.Depth : key == "Speed" ? &s.Speed : key == "Mode" ? &s.Mode : key == "Level" ? &s.Level
                              : key == "Color" ? &s.Color : key == "Erase" ? &s.Erase : &s.Threshold;
        *field = v.second;
    }
    return s;
}

struct WriteLog : SettingsStore {
    std::vector<std::string> writes;
    std::int32_t ReadSettingInt(const char*, const char*, std::int32_t d) override { return d; }
    void WriteSettingString(const char* section, const char* key, const char* text) override
    {
        writes.push_back(std::string(section) + " " + key + "=" + text);
    }
};

} // namespace

TEST(TerrainSettings, DefaultsClampsAndWriteOrder)
{
    struct Case {
        const char* ini;
        TerrainSettings expected;
    };
    const Case cases[] = {
        {"", TerrainSettings{}},
        {"Speed=0\nColor=13\nErase=17\nThreshold=3\nLevel=4\nMode=3\n", With({{"Speed", 1}, {"Color", 12}, {"Erase", 16}, {"Threshold", 2}, {"Level", 3}, {"Mode", 2}})},
        {"Speed=6\nMode=-1\nLevel=-1\nColor=-1\nErase=-1\nThreshold=-1\n", With({{"Speed", 5}, {"Mode", 0}, {"Level", 0}, {"Color", 0}, {"Erase", 0}, {"Threshold", 0}})},
        // Depth is used as read.
        {"Depth=-3\n", With({{"Depth", -3}})},
        {"Depth=1000\nSpeed=3 fast\n", With({{"Depth", 1000}, {"Speed", 3}})},
        {"Depth=2147483647\n", With({{"Depth", INT_MAX}})},
        {"Depth=-2147483648\nErase=0\n", With({{"Depth", INT_MIN}, {"Erase", 0}})},
    };
    for (const Case& c : cases) {
        IniSettingsStore store;
        std::string text = std::string("[ScreenSaver.Kesmar]\n") + c.ini;
        for (std::size_t at = 0, next; at < text.size(); at = next + 1) {
            next = text.find('\n', at);
            const std::string line = text.substr(at, next - at);
            const auto eq = line.find('=');
            if (eq != std::string::npos) store.SetValue(kTerrainSection, line.substr(0, eq).c_str(), line.substr(eq + 1));
        }
        const TerrainSettings s = LoadTerrainSettings(store);
        const TerrainSettings& e = c.expected;
        EXPECT_EQ(std::vector<std::int32_t>({s.Depth, s.Speed, s.Mode, s.Level, s.Color, s.Erase, s.Threshold}),
                  std::vector<std::int32_t>({e.Depth, e.Speed, e.Mode, e.Level, e.Color, e.Erase, e.Threshold}))
            << c.ini;
    }
    WriteLog log;
    SaveTerrainSettings(log, With({{"Depth", 10}, {"Speed", 5}, {"Mode", 2}, {"Level", 3}, {"Color", 12}, {"Erase", 16}, {"Threshold", 1}}));
    EXPECT_EQ(log.writes, (std::vector<std::string>{"ScreenSaver.Kesmar Depth=10", "ScreenSaver.Kesmar Speed=5", "ScreenSaver.Kesmar Mode=2",
                                                    "ScreenSaver.Kesmar Level=3", "ScreenSaver.Kesmar Erase=16", "ScreenSaver.Kesmar Color=12",
                                                    "ScreenSaver.Kesmar Threshold=1"}));
}

TEST(TerrainClock, ScenesChangeAfterTheirTicksAndEveryScenesQuadsAreDrawnInOrder)
{
    struct Case {
        int speed;
        int perScene;
        int lastQuadTick;
    };
    const Case cases[] = {{1, 2500, 2401}, {2, 1250, 1201}, {3, 500, 481}, {4, 250, 241}, {5, 25, 25}};
    for (const Case& c : cases) {
        TerrainRun run(64, 48, 9, With({{"Speed", c.speed}, {"Erase", 0}}));
        std::vector<int> quadsAfterTick;
        for (int t = 0; t < 2 * c.perScene + 1; ++t) {
            run.Tick();
            quadsAfterTick.push_back(static_cast<int>(run.record.quads.size()));
        }
        EXPECT_EQ(run.record.sceneTicks, (std::vector<int>{0, c.perScene + 1, 2 * c.perScene + 1})) << "Speed " << c.speed;
        EXPECT_EQ(run.record.wipes, (std::vector<int>{-1, -1})) << "Speed " << c.speed;
        // The first scene's last quad comes on its stated tick, and nothing after it.
        EXPECT_EQ(quadsAfterTick[static_cast<std::size_t>(c.lastQuadTick) - 1], 2401) << "Speed " << c.speed;
        if (c.lastQuadTick > 1) {
            EXPECT_LT(quadsAfterTick[static_cast<std::size_t>(c.lastQuadTick) - 2], 2401) << "Speed " << c.speed;
        }
        EXPECT_EQ(quadsAfterTick[static_cast<std::size_t>(c.perScene) - 1], 2401) << "Speed " << c.speed;
        // Back row first, left to right: quad n is (n mod 49, n / 49); the last is (48, 48).
        for (std::size_t n = 0; n < 2401; ++n) ASSERT_EQ(run.record.quads[n], std::make_pair(static_cast<int>(n % 49), static_cast<int>(n / 49)));
        EXPECT_EQ(run.record.quads[2400], std::make_pair(48, 48));
    }
    // Speed 5: the first tick draws rows 0 and 1 and then (0, 2), (1, 2).
    TerrainRun fast(1024, 768, 3, With({{"Speed", 5}}));
    fast.Tick();
    EXPECT_EQ(fast.record.quads.size(), 100u);
    EXPECT_EQ(fast.record.quads[98], std::make_pair(0, 2));
    EXPECT_EQ(fast.record.quads[99], std::make_pair(1, 2));
    EXPECT_EQ(fast.state.grid->cursorAcross, 2);
    EXPECT_EQ(fast.state.grid->cursorDepth, 2);
}

TEST(TerrainScene, OnePeakSpreadsLopsidedByTheInPlaceSweep)
{
    TerrainGrid grid;
    TerrainCell(grid, 20, 20) = 1000;
    for (int d = 0; d < 50; ++d) {
        for (int a = 0; a < 50; ++a) SmoothAround(grid.cells.data(), a, d);
    }
    const int block[3][3] = {{31, 19, 12}, {31, 24, 15}, {23, 20, 14}}; // a = 19..21, d = 19..21
    for (int a = 0; a < 3; ++a) {
        for (int d = 0; d < 3; ++d) EXPECT_EQ(TerrainCell(grid, 19 + a, 19 + d), block[a][d]) << a << "," << d;
    }
    std::set<int> across, depth;
    int nonZero = 0;
    for (int a = 0; a < 50; ++a) {
        for (int d = 0; d < 50; ++d) {
            if (TerrainCell(grid, a, d) == 0) continue;
            ++nonZero;
            across.insert(a);
            depth.insert(d);
        }
    }
    EXPECT_EQ(nonZero, 55);
    EXPECT_EQ(*across.begin(), 17);
    EXPECT_EQ(*across.rbegin(), 26);
    EXPECT_EQ(*depth.begin(), 19);
    EXPECT_EQ(*depth.rbegin(), 25);
}

TEST(TerrainScene, RandomDrawsComeInTheirOrder)
{
    // Choices (three draws where the settings leave them open), the scheme,
    // three per peak (one more first for a negative Depth), one per cell.
    struct Case {
        TerrainSettings settings;
        int draws;
    };
    const Case cases[] = {
        {TerrainSettings{}, 3 + 1 + 3 * 25 + 2500},
        {With({{"Mode", 1}, {"Level", 2}, {"Threshold", 1}, {"Color", 6}, {"Depth", 0}}), 2500},
        {With({{"Mode", 2}, {"Depth", 10}}), 2 + 1 + 30 + 2500},
    };
    for (const Case& c : cases) {
        TerrainRun run(320, 240, 77, c.settings);
        EXPECT_EQ(RandomDrawsSince(77, run.random), c.draws);
    }
    // With everything open, the first four draws choose method, level, cut and scheme.
    RuntimeRandom probe;
    SeedRuntimeRandom(probe, 77);
    const int r[4] = {DrawRuntimeRandom(probe), DrawRuntimeRandom(probe), DrawRuntimeRandom(probe), DrawRuntimeRandom(probe)};
    TerrainRun open(320, 240, 77, TerrainSettings{});
    EXPECT_EQ(static_cast<int>(open.state.choices.method), r[0] % 2);
    EXPECT_EQ(open.state.choices.level, r[1] % 3);
    EXPECT_EQ(open.state.choices.cut, r[2] % 2);
    EXPECT_EQ(open.state.scheme, r[3] % 12);
    // A negative Depth: one draw first, then 1..|Depth| peaks.
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        TerrainRun some(320, 240, seed, With({{"Depth", -3}}));
        EXPECT_GE(some.state.choices.peaks, 1);
        EXPECT_LE(some.state.choices.peaks, 3);
        EXPECT_EQ(RandomDrawsSince(seed, some.random), 3 + 1 + 1 + 3 * some.state.choices.peaks + 2500);
    }
    // At a scene change the wipe draws first, then the scene: the new grid is
    // the one a wipe and a scene built from the same generator give.
    TerrainRun changing(96, 64, 5, With({{"Speed", 5}, {"Erase", 1}}));
    changing.Tick(25);
    RuntimeRandom replay = changing.random;
    SoftwareSurface scratch(96, 64);
    RecordedPauses none;
    const int wipe = PlayWipe(scratch, replay, none, 96, 64, -1, 2);
    TerrainState expected;
    NewTerrainScene(expected, changing.settings, replay, scratch, 96, 64);
    changing.Tick();
    EXPECT_EQ(changing.record.wipes, std::vector<int>{wipe});
    EXPECT_EQ(changing.state.grid->cells, expected.grid->cells);
    EXPECT_EQ(changing.random.state, replay.state);
}

TEST(TerrainScene, GridsStayWithinTheirBoundsAndRepeatForTheSameSeed)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        const TerrainSettings settings = With({{"Depth", static_cast<std::int32_t>(seed % 7 == 0 ? -20 : 5 * seed)}});
        TerrainRun run(seed % 2 ? 1024 : 152, seed % 2 ? 768 : 112, seed, settings);
        const TerrainGrid& grid = *run.state.grid;
        std::int32_t largest = 0;
        for (int a = 0; a < 50; ++a) {
            for (int d = 0; d < 50; ++d) {
                const std::int32_t v = TerrainCell(grid, a, d);
                ASSERT_GE(v, 0) << seed;
                ASSERT_LE(v, run.state.maxHeight) << seed;
                largest = std::max(largest, v);
                // The normal method ends with the noise: 0 or at least the cut level.
                if (run.state.choices.method == TerrainMethod::Normal) {
                    ASSERT_TRUE(v == 0 || v >= run.state.choices.cutLevel) << seed;
                }
            }
        }
        if (run.state.choices.method == TerrainMethod::Normal) {
            EXPECT_EQ(largest, run.state.maxHeight) << seed;
        }
        for (int i = 0; i < 49; ++i) {
            for (int j = 0; j < 49; ++j) {
                const int index = TerrainQuadColorIndex(grid, run.state.maxHeight, i, j);
                ASSERT_GE(index, 0);
                ASSERT_LE(index, 255);
            }
        }
        run.Tick(30);
        TerrainRun again(run.w, run.h, seed, settings);
        again.Tick(30);
        EXPECT_EQ(again.state.grid->cells, run.state.grid->cells) << seed;
        EXPECT_EQ(again.surface.pixels, run.surface.pixels) << seed;
    }
}

TEST(TerrainPalette, SchemesAsDesigned)
{
    auto rgb = [](int r, int g, int b) { return static_cast<std::uint32_t>((r << 16) | (g << 8) | b); };
    const auto wheel = TerrainSchemeColors(0);
    EXPECT_EQ(wheel[0], rgb(0, 0, 255));
    EXPECT_EQ(wheel[63], rgb(0, 252, 255));
    EXPECT_EQ(wheel[64], rgb(0, 255, 255));
    EXPECT_EQ(wheel[127], rgb(0, 255, 3));
    EXPECT_EQ(wheel[128], rgb(0, 255, 0));
    EXPECT_EQ(wheel[191], rgb(252, 255, 0));
    EXPECT_EQ(wheel[192], rgb(255, 255, 0));
    EXPECT_EQ(wheel[254], rgb(255, 7, 0));
    EXPECT_EQ(wheel[255], rgb(255, 0, 0));
    // Each ramp's red, green and blue at j = 0, 100, 205 and 255 (hi = min(j + 50, 255)).
    const char* ramps[12] = {nullptr, "5hj", "jh5", "jj5", "h5h", "jjj", "jhh", "j5h", "55j", "h55", "hj5", "jjh"};
    for (int scheme = 1; scheme < 12; ++scheme) {
        const auto colors = TerrainSchemeColors(scheme);
        for (int j : {0, 100, 205, 206, 255}) {
            const int hi = std::min(j + 50, 255);
            int c[3];
            for (int k = 0; k < 3; ++k) c[k] = ramps[scheme][k] == 'j' ? j : ramps[scheme][k] == 'h' ? hi : 50;
            EXPECT_EQ(colors[static_cast<std::size_t>(j)], rgb(c[0], c[1], c[2])) << "scheme " << scheme << " entry " << j;
        }
    }
    EXPECT_EQ(TerrainSchemeColors(1)[205], rgb(50, 255, 205));
    for (int j = 205; j < 256; ++j) {
        EXPECT_EQ(TerrainSchemeColors(4)[static_cast<std::size_t>(j)], rgb(255, 50, 255));
        EXPECT_EQ(TerrainSchemeColors(9)[static_cast<std::size_t>(j)], rgb(255, 50, 50));
    }
    // Color n picks scheme n - 1 without a draw; each build is a new palette.
    TerrainRun grey(200, 150, 4, With({{"Color", 6}, {"Speed", 5}, {"Erase", 0}}));
    EXPECT_EQ(grey.state.scheme, 5);
    const std::uint32_t serial = grey.state.palette.serial;
    grey.Tick(26);
    EXPECT_EQ(grey.state.palette.serial, serial + 1);
    // The quads take their entry's colour: the last quad's middle pixel.
    TerrainRun drawn(200, 150, 4, With({{"Color", 6}, {"Speed", 5}, {"Erase", 0}, {"Depth", 0}, {"Mode", 2}}));
    drawn.Tick(25);
    const SurfacePoint p = ProjectTerrainPoint(200, 150, 48, 48, 0);
    const std::uint32_t middle = drawn.surface.PixelAt(p.x + 1, p.y + 1);
    EXPECT_EQ(middle, TerrainSchemeColors(5)[static_cast<std::size_t>(drawn.record.indices.back())]);
}

TEST(TerrainRendering, ProjectionAt1024x768)
{
    const int points[][4] = {{0, 0, 256, 192}, {49, 0, 925, 192}, {49, 49, 675, 693}, {0, 49, 6, 693},
                             {1, 0, 269, 192}, {0, 1, 251, 202}, {1, 1, 264, 202}};
    for (const auto& p : points) {
        const SurfacePoint s = ProjectTerrainPoint(1024, 768, p[0], p[1], 0);
        EXPECT_EQ(s.x, p[2]) << p[0] << "," << p[1];
        EXPECT_EQ(s.y, p[3]) << p[0] << "," << p[1];
        EXPECT_EQ(ProjectTerrainPoint(1024, 768, p[0], p[1], 100).y, p[3] - 100);
    }
    TerrainGrid grid;
    EXPECT_EQ(TerrainQuadColorIndex(grid, 10, 3, 3), 0);
    for (int a = 3; a <= 4; ++a) {
        for (int d = 3; d <= 4; ++d) TerrainCell(grid, a, d) = 10;
    }
    EXPECT_EQ(TerrainQuadColorIndex(grid, 10, 3, 3), 255);
    TerrainCell(grid, 4, 4) = 0;
    EXPECT_EQ(TerrainQuadColorIndex(grid, 10, 3, 3), 191); // 30 x 255 / 40
}

// Where the design divides by zero, loops for long or has no memory.
TEST(TerrainScene, OddInputEndsSafely)
{
    // All cells end at 0 (no peaks, noise -1..0, cut level 1): maxHeight 0, flat ground in entry 0.
    TerrainRun flat(160, 120, 8, With({{"Depth", 0}, {"Mode", 2}, {"Level", 3}, {"Threshold", 2}, {"Speed", 5}}));
    EXPECT_EQ(flat.state.maxHeight, 0);
    flat.Tick(25);
    EXPECT_EQ(std::set<int>(flat.record.indices.begin(), flat.record.indices.end()), std::set<int>{0});
    // No client area: peaks of height 0, the draws still taken.
    TerrainRun empty(0, 0, 8, With({{"Depth", 4}, {"Speed", 5}, {"Erase", 1}}));
    EXPECT_EQ(RandomDrawsSince(8, empty.random), 3 + 1 + 12 + 2500);
    empty.Tick(60);
    EXPECT_EQ(empty.record.sceneTicks.size(), 3u);
    // Depth at its extremes: the most a scene places, or 1..32768 peaks.
    TerrainRun most(64, 48, 8, With({{"Depth", INT_MAX}}));
    EXPECT_EQ(most.state.choices.peaks, kTerrainMostPeaks);
    TerrainRun least(64, 48, 8, With({{"Depth", INT_MIN}}));
    EXPECT_GE(least.state.choices.peaks, 1);
    EXPECT_LE(least.state.choices.peaks, 32768);

    // No memory for the grid: the choices are drawn, nothing is cleared or
    // drawn, and the next scene tries again.
    const std::size_t paletteBytes = kTerrainPaletteSize * sizeof(std::uint32_t);
    TerrainState state;
    TerrainSettings settings = With({{"Speed", 5}, {"Erase", 0}});
    RuntimeRandom random;
    SoftwareSurface surface(64, 48);
    FillWithPattern(surface);
    const std::vector<std::uint32_t> before = surface.pixels;
    RecordedPauses pauses;
    {
        const FailingAllocations failing = FailingAllocations::OfSizes({sizeof(TerrainGrid), paletteBytes});
        InitTerrain(state, settings, random, 6, surface, 64, 48);
    }
    EXPECT_FALSE(state.grid);
    EXPECT_EQ(RandomDrawsSince(6, random), 3);
    {
        const FailingAllocations failing = FailingAllocations::OfSizes({sizeof(TerrainGrid), paletteBytes});
        for (int t = 0; t < 25; ++t) TickTerrain(state, settings, random, surface, pauses, 64, 48);
    }
    EXPECT_EQ(surface.pixels, before);
    TickTerrain(state, settings, random, surface, pauses, 64, 48);
    ASSERT_TRUE(state.grid);
    EXPECT_NE(surface.pixels, before);
    // No memory for the first palette: the scheme is drawn, the frame
    // cleared, no quad drawn, and the next scene makes the palette.
    TerrainState noPalette;
    RuntimeRandom paletteRandom;
    FillWithPattern(surface);
    {
        const FailingAllocations failing = FailingAllocations::OfSizes({paletteBytes});
        InitTerrain(noPalette, settings, paletteRandom, 6, surface, 64, 48);
        for (int t = 0; t < 25; ++t) TickTerrain(noPalette, settings, paletteRandom, surface, pauses, 64, 48);
    }
    ASSERT_TRUE(noPalette.grid);
    EXPECT_TRUE(noPalette.palette.colors.empty());
    EXPECT_TRUE(std::all_of(surface.pixels.begin(), surface.pixels.end(), [](std::uint32_t p) { return p == 0; }));
    for (int t = 0; t < 25; ++t) TickTerrain(noPalette, settings, paletteRandom, surface, pauses, 64, 48);
    EXPECT_EQ(noPalette.palette.colors.size(), static_cast<std::size_t>(kTerrainPaletteSize));
    EXPECT_FALSE(std::all_of(surface.pixels.begin(), surface.pixels.end(), [](std::uint32_t p) { return p == 0; }));
    // A later scene's palette takes the place of the one before without
    // asking for memory, so it cannot fail.
    const SurfacePalette first = noPalette.palette;
    {
        const FailingAllocations failing = FailingAllocations::OfSizes({paletteBytes});
        TickTerrain(noPalette, settings, paletteRandom, surface, pauses, 64, 48);
    }
    EXPECT_EQ(noPalette.palette.serial, first.serial + 1);
}

TEST(TerrainLife, EveryWindowSizeAndWipeRunsClean)
{
    for (int w = 0; w <= 13; ++w) {
        for (int h = 0; h <= 13; h += (w < 3 ? 1 : 4)) {
            for (int erase = 2; erase <= 16; ++erase) {
                const std::uint32_t seed = static_cast<std::uint32_t>(w * 97 + h * 13 + erase);
                TerrainRun run(w, h, seed, With({{"Speed", 5}, {"Erase", erase}, {"Depth", -5}}));
                run.Tick(27);
                EXPECT_EQ(run.record.wipes, std::vector<int>{erase - 2});
                EXPECT_EQ(run.surface.originX, 0);
                EXPECT_EQ(run.surface.originY, 0);
                // A wipe stopped at its first question: the tick goes on as
                // after the whole wipe, to the same scene, pixels and draws.
                TerrainRun stopped(w, h, seed, With({{"Speed", 5}, {"Erase", erase}, {"Depth", -5}}));
                stopped.pauses.stopAt = 1;
                stopped.Tick(27);
                const std::string what = std::to_string(w) + "x" + std::to_string(h) + " Erase=" + std::to_string(erase);
                EXPECT_EQ(stopped.record.wipes, run.record.wipes) << what;
                EXPECT_EQ(stopped.record.sceneTicks, run.record.sceneTicks) << what;
                EXPECT_EQ(stopped.state.tickCount, run.state.tickCount) << what;
                EXPECT_EQ(stopped.surface.pixels, run.surface.pixels) << what;
                EXPECT_EQ(stopped.random.state, run.random.state) << what;
                EXPECT_LE(stopped.pauses.questions, 1) << what;
            }
        }
    }
    for (const auto& size : {std::make_pair(1, 400), std::make_pair(400, 1), std::make_pair(401, 299)}) {
        TerrainRun run(size.first, size.second, 3, With({{"Speed", 5}, {"Erase", 1}}));
        run.Tick(60);
        EXPECT_EQ(run.record.sceneTicks.size(), 3u);
    }
}

TEST(TerrainDialog, ShowsTheSettingsAndStoresTheControls)
{
    const std::vector<TerrainListSetup> lists = TerrainDialogLists();
    ASSERT_EQ(lists.size(), 5u);
    EXPECT_EQ((std::vector<int>{lists[0].id, lists[1].id, lists[2].id, lists[3].id, lists[4].id}),
              (std::vector<int>{kTerrainModeList, kTerrainLevelList, kTerrainColorList, kTerrainEraseList, kTerrainThresholdList}));
    EXPECT_EQ(lists[0].lines, (std::vector<std::string>{"[Random]", "Smooth", "Normal"}));
    EXPECT_EQ(lists[1].lines, (std::vector<std::string>{"[Random]", "High", "Medium", "Low"}));
    EXPECT_EQ(lists[2].lines.size(), 13u);
    EXPECT_EQ(lists[2].lines[6], "Gray scale");
    EXPECT_EQ(lists[2].lines[12], "Magenta scale");
    EXPECT_EQ(lists[3].lines.size(), 17u);
    EXPECT_EQ(lists[3].lines[0], "[None]");
    EXPECT_EQ(lists[3].lines[1], "[Random]");
    EXPECT_EQ(lists[3].lines[2], "Random lines");
    EXPECT_EQ(lists[3].lines[10], "Random squarres");
    EXPECT_EQ(lists[3].lines[16], "Wipebar inner");
    EXPECT_EQ(lists[4].lines, (std::vector<std::string>{"[Random]", "High", "Low"}));

    // What opens: defaults, and hand-edited values (Depth at the slider's nearer end).
    struct Case {
        TerrainSettings settings;
        int depth, speed;
        std::vector<int> selections;
    };
    const Case cases[] = {
        {TerrainSettings{}, 25, 1, {0, 0, 0, 1, 0}},
        {With({{"Depth", -5}, {"Speed", 5}, {"Erase", 16}, {"Color", 12}}), 10, 5, {0, 0, 12, 16, 0}},
        {With({{"Depth", 1000}, {"Mode", 2}, {"Level", 3}, {"Threshold", 2}, {"Erase", 0}}), 100, 1, {2, 3, 0, 0, 2}},
    };
    for (const Case& c : cases) {
        const TerrainDialogView view = ViewTerrainSettings(c.settings);
        EXPECT_EQ(view.depthPosition, c.depth);
        EXPECT_EQ(view.speedPosition, c.speed);
        EXPECT_EQ(view.selections, c.selections);
    }

    // What OK stores: the controls' values as they are, written in key order;
    // no selection (-1) is written as such and read back as 0.
    WriteLog log;
    SaveTerrainSettings(log, TerrainSettingsFromControls(10, 3, 1, -1, 6, 16, 2));
    EXPECT_EQ(log.writes, (std::vector<std::string>{"ScreenSaver.Kesmar Depth=10", "ScreenSaver.Kesmar Speed=3", "ScreenSaver.Kesmar Mode=1",
                                                    "ScreenSaver.Kesmar Level=-1", "ScreenSaver.Kesmar Erase=16", "ScreenSaver.Kesmar Color=6",
                                                    "ScreenSaver.Kesmar Threshold=2"}));
    IniSettingsStore store;
    store.SetValue(kTerrainSection, "Level", "-1");
    EXPECT_EQ(LoadTerrainSettings(store).Level, 0);
}
