#include "render_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "headless/ini_settings_store.h"
#include "common/runtime_random.h"
#include "common/step_pause.h"
#include "image_io.h"
#include "relief/relief_life.h"
#include "headless/synthetic_desktop.h"
#include "terrain/terrain_life.h"
#include "terrain/terrain_wipes.h"
#include "terrain_trace.h"
#include "test_files.h"

namespace {

RenderArgs Args(const ScratchDir& dir, int width, int height, std::uint32_t frames, std::uint32_t every)
{
    RenderArgs a;
    a.saver = "relief";
    a.width = width;
    a.height = height;
    a.seed = 12345;
    a.frames = frames;
    a.every = every;
    a.trace = true;
    a.outDir = dir.File("out");
    return a;
}

struct Result {
    int code = -1;
    std::string trace;
    std::string log;
};

Result RunCapture(const RenderArgs& a)
{
    std::ostringstream trace, log;
    Result r;
    r.code = RunRender(a, trace, log);
    r.trace = trace.str();
    r.log = log.str();
    return r;
}

std::vector<std::uint8_t> ReadFrame(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    RgbImage img;
    if (!ReadFileBytes(path, bytes, error) || !DecodePng(bytes, 65535, 65535, img, error)) ADD_FAILURE() << error;
    return img.rgb;
}

// Drives the saver directly, the way a window would, and checks every frame
// file and trace line the renderer produced against it.
void ExpectSameAsDirectDrive(const RenderArgs& a, const Result& r, const std::vector<std::uint8_t>& picture, IniSettingsStore& store)
{
    ReliefState state;
    RuntimeRandom random;
    ASSERT_TRUE(InitRelief(state, LoadReliefSettings(store), random, a.seed, a.width, a.height, 0, picture.data(), picture.size()));
    SoftwareSurface surface(a.width, a.height);
    std::ostringstream trace;
    for (std::uint32_t t = 1; t <= a.frames; ++t) {
        const ReliefPathPosition p = TickRelief(state, random, surface);
        trace << "tick " << t << " px " << p.px << " py " << p.py << '\n';
        if (t % a.every == 0) {
            EXPECT_EQ(SurfaceToRgb(surface), ReadFrame(FramePath(a.outDir, t))) << "tick " << t;
        }
    }
    EXPECT_EQ(trace.str(), r.trace);
}

} // namespace

TEST(RenderSession, FramesMatchDirectDriveOnSyntheticDesktop)
{
    ScratchDir dir;
    RenderArgs a = Args(dir, 48, 36, 9, 3);
    a.sets = {{"Soften", "3"}, {"ColorCount", "16"}};
    const Result r = RunCapture(a);
    ASSERT_EQ(kExitOk, r.code) << r.log;
    IniSettingsStore store;
    store.SetValue(kReliefSection, "Soften", "3");
    store.SetValue(kReliefSection, "ColorCount", "16");
    ExpectSameAsDirectDrive(a, r, SyntheticDesktopPicture(48, 36), store);
    EXPECT_NE(std::string::npos, r.log.find("wrote 3 frames to " + a.outDir));
}

TEST(RenderSession, FramesMatchDirectDriveOnRawDesktopAndIni)
{
    ScratchDir dir;
    RenderArgs a = Args(dir, 30, 40, 4, 1);
    std::vector<std::uint8_t> picture(30 * 40 * 3);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 37 % 251);
    WriteBytes(dir.File("desk.raw"), picture);
    WriteText(dir.File("s.ini"), "[ScreenSaver.Ondrels]\r\nInvert=1\r\nDegrees=7\r\n");
    a.desktopPath = dir.File("desk.raw");
    a.iniPath = dir.File("s.ini");
    a.sets = {{"Degrees", "3"}, {"degrees", "25"}}; // later --set wins, names ignore case
    const Result r = RunCapture(a);
    ASSERT_EQ(kExitOk, r.code) << r.log;
    IniSettingsStore store;
    store.SetValue(kReliefSection, "Invert", "1");
    store.SetValue(kReliefSection, "Degrees", "25");
    ExpectSameAsDirectDrive(a, r, picture, store);
}

TEST(RenderSession, EveryNumbersFramesByTick)
{
    ScratchDir dir;
    const Result r = RunCapture(Args(dir, 16, 12, 10, 4));
    ASSERT_EQ(kExitOk, r.code) << r.log;
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.File("out"))) names.insert(e.path().filename().string());
    EXPECT_EQ((std::set<std::string>{"frame-00004.png", "frame-00008.png"}), names);
    EXPECT_EQ(10, std::count(r.trace.begin(), r.trace.end(), '\n'));
    EXPECT_EQ("tick 1 px ", r.trace.substr(0, 10));
    EXPECT_EQ(dir.File("out") + "/frame-123456.png", FramePath(dir.File("out"), 123456));
}

TEST(RenderSession, ZeroSizeTicksButWritesNothing)
{
    ScratchDir dir;
    for (const auto& size : {std::pair<int, int>{0, 0}, {0, 8}, {8, 0}}) {
        RenderArgs a = Args(dir, size.first, size.second, 3, 1);
        const Result r = RunCapture(a);
        EXPECT_EQ(kExitOk, r.code) << r.log;
        EXPECT_EQ(3, std::count(r.trace.begin(), r.trace.end(), '\n'));
        EXPECT_FALSE(std::filesystem::exists(a.outDir));
        EXPECT_NE(std::string::npos, r.log.find("wrote 0 frames"));
    }
    // Windows too narrow or short for a lens still run their ticks.
    const Result tiny = RunCapture(Args(dir, 1, 1, 2, 1));
    EXPECT_EQ(kExitOk, tiny.code) << tiny.log;
}

TEST(RenderSession, InputAndOutputProblemsExitWithUsageCode)
{
    ScratchDir dir;
    WriteText(dir.File("plain"), "x");
    WriteBytes(dir.File("bad.bmp"), {'B', 'M', 0, 0});
    const struct {
        std::function<void(RenderArgs&)> change;
        const char* message;
    } cases[] = {
        {[](RenderArgs& a) { a.saver = "waves"; }, "unknown saver 'waves'"},
        {[&](RenderArgs& a) { a.iniPath = dir.File("nope.ini"); }, "--ini"},
        {[&](RenderArgs& a) { a.iniPath = dir.Path().string(); }, "--ini"},
        {[&](RenderArgs& a) { a.desktopPath = dir.File("nope.png"); }, "--desktop"},
        {[&](RenderArgs& a) { a.desktopPath = dir.File("bad.bmp"); }, "BMP"},
        {[&](RenderArgs& a) { a.outDir = dir.File("plain"); }, "--out"},
        {[&](RenderArgs& a) { a.outDir = dir.File("plain/sub"); }, "--out"},
    };
    for (const auto& c : cases) {
        RenderArgs a = Args(dir, 8, 8, 2, 1);
        c.change(a);
        const Result r = RunCapture(a);
        EXPECT_EQ(kExitUsage, r.code) << c.message;
        EXPECT_EQ(0u, r.log.find("saver-render: ")) << r.log;
        EXPECT_NE(std::string::npos, r.log.find(c.message)) << r.log;
    }
}

namespace {

RenderArgs WipeArgs(const ScratchDir& dir, int width, int height, std::uint32_t seed, std::int32_t number)
{
    RenderArgs a;
    a.command = RenderCommand::Wipe;
    a.width = width;
    a.height = height;
    a.seed = seed;
    a.wipeNumber = number;
    a.trace = true;
    a.outDir = dir.File("wipe");
    return a;
}

// The surface at each pause of a wipe played directly.
class SnapshotPause : public StepPause {
public:
    explicit SnapshotPause(const SoftwareSurface& surface) : surface_(surface) {}
    void Pause(int milliseconds) override
    {
        pictures.push_back(SurfaceToRgb(surface_));
        totalMilliseconds += milliseconds;
    }
    std::vector<std::vector<std::uint8_t>> pictures;
    long long totalMilliseconds = 0;

private:
    const SoftwareSurface& surface_;
};

std::size_t FileCount(const std::string& dir)
{
    std::size_t count = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) count += e.is_regular_file() ? 1 : 0;
    return count;
}

} // namespace

TEST(WipeSession, PicturesAndTraceMatchDirectPlay)
{
    const struct {
        int width, height;
        std::uint32_t seed;
        std::int32_t number;
        int delayFactor;
        bool rawDesktop;
    } cases[] = {
        // Every wipe once; seed 3 draws wipe 3.
        {20, 44, 12, 0, 5, false}, {40, 30, 5, 1, 0, false}, {28, 22, 12, 2, 2, false}, {33, 21, 3, -1, 2, false},
        {48, 36, 3, 4, 2, false},  {16, 12, 1, 5, 2, false}, {26, 18, 4, 6, 2, false},  {35, 20, 6, 7, 2, false},
        {37, 29, 2, 8, 2, false},  {30, 30, 8, 9, 2, false}, {40, 30, 5, 10, 1, false}, {64, 16, 1, 11, 2, true},
        {40, 30, 9, 12, 3, true},  {24, 32, 4, 13, 1, false}, {40, 30, 7, 14, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("wipe " + std::to_string(c.number) + " at " + std::to_string(c.width) + "x" + std::to_string(c.height));
        ScratchDir dir;
        RenderArgs a = WipeArgs(dir, c.width, c.height, c.seed, c.number);
        a.delayFactor = c.delayFactor;
        std::vector<std::uint8_t> picture = SyntheticDesktopPicture(c.width, c.height);
        if (c.rawDesktop) {
            for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 37 % 251);
            WriteBytes(dir.File("desk.raw"), picture);
            a.desktopPath = dir.File("desk.raw");
        }
        const Result r = RunCapture(a);
        ASSERT_EQ(kExitOk, r.code) << r.log;

        SoftwareSurface surface(c.width, c.height);
        surface.PutPixelBlock(0, 0, c.width, c.height, picture.data());
        RuntimeRandom random;
        SeedRuntimeRandom(random, c.seed);
        SnapshotPause pause(surface);
        const int played = PlayWipe(surface, random, pause, c.width, c.height, c.number, c.delayFactor);

        EXPECT_EQ("wipe " + std::to_string(played) + " pauses " + std::to_string(pause.pictures.size()) + " sleep-ms " +
                      std::to_string(pause.totalMilliseconds) + "\n",
                  r.trace);
        EXPECT_EQ(SurfaceToRgb(surface), ReadFrame(FinalPath(a.outDir)));
        EXPECT_EQ(pause.pictures.size() + 1, FileCount(a.outDir));
        for (std::size_t i = 0; i < pause.pictures.size(); ++i)
            EXPECT_EQ(pause.pictures[i], ReadFrame(PausePath(a.outDir, i + 1))) << "pause " << i + 1;
        EXPECT_NE(std::string::npos, r.log.find("wrote " + std::to_string(pause.pictures.size() + 1) + " pictures to " + a.outDir));
    }
}

TEST(WipeSession, DrawTraceHoldsOnlyTheWipesCallsAndPauses)
{
    ScratchDir dir;
    RenderArgs a = WipeArgs(dir, 40, 30, 7, 14);
    a.traceDraw = true;
    const Result r = RunCapture(a);
    ASSERT_EQ(kExitOk, r.code) << r.log;
    // The bars close from both sides one column a step, pausing 12 ms every
    // 12 steps; the desktop picture put there before is not traced.
    EXPECT_EQ(0u, r.trace.find("rect 0 0 0 30\nrect 40 0 40 30\nsleep 12\nrect 0 0 1 30\nrect 39 0 40 30\n")) << r.trace;
    EXPECT_NE(std::string::npos, r.trace.find("\nrect 0 0 12 30\nrect 28 0 40 30\nsleep 12\n"));
    const std::string tail = "rect 0 0 40 30\nwipe 14 pauses 2 sleep-ms 24\n";
    EXPECT_EQ(r.trace.size() - tail.size(), r.trace.rfind(tail));
    // 21 steps of two bars, two pauses, the closing rectangle, the summary.
    EXPECT_EQ(21 * 2 + 2 + 1 + 1, std::count(r.trace.begin(), r.trace.end(), '\n'));
}

TEST(WipeSession, RandomChoiceIsTheFirstDraw)
{
    ScratchDir dir;
    for (const std::uint32_t seed : {1u, 7u, 12345u, 4294967295u}) {
        for (const std::int32_t number : {-1, 15, -2147483647 - 1}) {
            RuntimeRandom random;
            SeedRuntimeRandom(random, seed);
            const int expected = DrawRuntimeRandom(random) % kWipeCount;
            const Result r = RunCapture(WipeArgs(dir, 12, 10, seed, number));
            ASSERT_EQ(kExitOk, r.code) << r.log;
            EXPECT_EQ(0u, r.trace.find("wipe " + std::to_string(expected) + " pauses ")) << seed << ": " << r.trace;
        }
    }
}

TEST(WipeSession, ZeroSizeTracesButWritesNothingAndProblemsExitWithUsageCode)
{
    ScratchDir dir;
    for (const auto& size : {std::pair<int, int>{0, 0}, {0, 8}, {8, 0}}) {
        RenderArgs a = WipeArgs(dir, size.first, size.second, 3, 14);
        a.traceDraw = true;
        const Result r = RunCapture(a);
        EXPECT_EQ(kExitOk, r.code) << r.log;
        EXPECT_EQ(0u, r.trace.find("rect 0 0 ")) << r.trace;
        EXPECT_NE(std::string::npos, r.trace.find("\nwipe 14 pauses "));
        EXPECT_FALSE(std::filesystem::exists(a.outDir));
        EXPECT_NE(std::string::npos, r.log.find("wrote 0 pictures"));
    }
    WriteText(dir.File("plain"), "x");
    for (const bool badDesktop : {true, false}) {
        RenderArgs a = WipeArgs(dir, 8, 8, 1, 0);
        (badDesktop ? a.desktopPath : a.outDir) = dir.File("plain/sub");
        const Result r = RunCapture(a);
        EXPECT_EQ(kExitUsage, r.code);
        EXPECT_EQ(0u, r.log.find(badDesktop ? "saver-render: --desktop: " : "saver-render: --out: ")) << r.log;
        EXPECT_EQ("", r.trace);
    }
}

namespace {

using Sets = std::vector<std::pair<std::string, std::string>>;

RenderArgs TerrainArgs(const ScratchDir& dir, int width, int height, std::uint32_t seed, std::uint32_t ticks, Sets sets)
{
    RenderArgs a;
    a.command = RenderCommand::Terrain;
    a.width = width;
    a.height = height;
    a.seed = seed;
    a.ticks = ticks;
    a.sets = std::move(sets);
    a.outDir = dir.File("terrain");
    return a;
}

class IgnoredPause : public StepPause {
public:
    void Pause(int) override {}
};

// The terrain saver driven directly, the way its window drives it: each scene
// as built (with a copy of its grid), each wipe, and the surface after every
// tick.
struct DirectTerrain : TerrainEvents {
    struct Scene {
        std::uint32_t tick;
        TerrainState copy; // choices, scheme and maxHeight; grid copied when there is one
    };
    std::vector<Scene> scenes;
    std::vector<std::pair<std::uint32_t, int>> wipes; // tick, wipe played
    std::vector<std::vector<std::uint8_t>> frames;    // frames[t - 1] after tick t
    std::uint32_t tick = 0;

    DirectTerrain(const TerrainSettings& settings, std::uint32_t seed, int width, int height, std::uint32_t ticks)
    {
        TerrainState state;
        RuntimeRandom random;
        SoftwareSurface surface(width, height);
        IgnoredPause pause;
        InitTerrain(state, settings, random, seed, surface, width, height, this);
        for (tick = 1; tick <= ticks; ++tick) {
            TickTerrain(state, settings, random, surface, pause, width, height, this);
            frames.push_back(SurfaceToRgb(surface));
        }
        FreeTerrain(state);
    }
    void SceneBuilt(const TerrainState& state) override
    {
        Scene s{tick, TerrainState()};
        s.copy.choices = state.choices;
        s.copy.scheme = state.scheme;
        s.copy.maxHeight = state.maxHeight;
        if (state.grid) s.copy.grid = std::make_unique<TerrainGrid>(*state.grid);
        scenes.push_back(std::move(s));
    }
    void WipePlayed(int number) override { wipes.emplace_back(tick, number); }
    void QuadDrawing(int, int, int, const SurfacePoint[4]) override {}
};

TerrainSettings SettingsOf(const RenderArgs& a, const std::string& ini)
{
    IniSettingsStore store;
    if (!ini.empty()) {
        ScratchDir dir;
        WriteText(dir.File("k.ini"), ini);
        EXPECT_TRUE(store.Load(dir.File("k.ini")));
    }
    for (const auto& kv : a.sets) store.SetValue(kTerrainSection, kv.first.c_str(), kv.second);
    return LoadTerrainSettings(store);
}

// The --trace lines of one scene.
std::string SceneLines(std::size_t number, const DirectTerrain::Scene& s)
{
    std::ostringstream out;
    const TerrainSceneChoices& c = s.copy.choices;
    out << "scene " << number << " tick " << s.tick << " method " << (c.method == TerrainMethod::Smooth ? "smooth" : "normal")
        << " level " << c.level << " cut " << c.cut << " scheme " << s.copy.scheme << " peaks " << c.peaks << " maxHeight "
        << s.copy.maxHeight << '\n';
    for (int d = 0; s.copy.grid && d < kTerrainGridSide; ++d) {
        out << "grid " << d;
        for (int a = 0; a < kTerrainGridSide; ++a) out << ' ' << TerrainCell(*s.copy.grid, a, d);
        out << '\n';
    }
    return out.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

} // namespace

TEST(TerrainSession, FramesMatchDirectDrive)
{
    const struct {
        int width, height;
        std::uint32_t seed, ticks, every;
        const char* ini;
        Sets sets;
        std::vector<std::pair<std::uint32_t, int>> wipes; // (tick, wipe) expected at scene changes
    } cases[] = {
        // Speed 5: 25 ticks a scene, the next one built inside tick 26 after wipe 0.
        {160, 120, 5, 27, 1, "", {{"Speed", "5"}, {"Erase", "2"}}, {{26, 0}}},
        {64, 48, 11, 55, 7, "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nColor=4\r\nMode=2\r\nErase=3\r\n",
         {{"erase", "0"}, {"Depth", "-40"}}, {{26, -1}, {51, -1}}},
        {50, 70, 3, 30, 3, "", {{"Speed", "5"}, {"Level", "3"}, {"Threshold", "2"}}, {}}, // Erase 1: a random wipe
        {33, 21, 8, 6, 2, "", {{"Speed", "2"}, {"Depth", "0"}, {"Erase", "16"}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " seed " + std::to_string(c.seed));
        ScratchDir dir;
        RenderArgs a = TerrainArgs(dir, c.width, c.height, c.seed, c.ticks, c.sets);
        a.every = c.every;
        if (*c.ini) {
            WriteText(dir.File("k.ini"), c.ini);
            a.iniPath = dir.File("k.ini");
        }
        const Result r = RunCapture(a);
        ASSERT_EQ(kExitOk, r.code) << r.log;
        EXPECT_EQ("", r.trace);

        const DirectTerrain direct(SettingsOf(a, c.ini), c.seed, c.width, c.height, c.ticks);
        if (!c.wipes.empty()) {
            EXPECT_EQ(c.wipes, direct.wipes);
        }
        for (std::uint32_t t = c.every; t <= c.ticks; t += c.every)
            EXPECT_EQ(direct.frames[t - 1], ReadFrame(FramePath(a.outDir, t))) << "tick " << t;
        EXPECT_EQ(c.ticks / c.every, FileCount(a.outDir));
        EXPECT_NE(std::string::npos, r.log.find("wrote " + std::to_string(c.ticks / c.every) + " frames to " + a.outDir));
    }
}

TEST(TerrainSession, SceneTraceHasEveryScenesGridAndWipeInOrder)
{
    ScratchDir dir;
    RenderArgs a = TerrainArgs(dir, 160, 120, 5, 52, {{"Speed", "5"}, {"Erase", "2"}});
    a.trace = true;
    const Result r = RunCapture(a);
    ASSERT_EQ(kExitOk, r.code) << r.log;

    const DirectTerrain direct(SettingsOf(a, ""), a.seed, a.width, a.height, a.ticks);
    ASSERT_EQ(3u, direct.scenes.size());
    EXPECT_EQ(SceneLines(1, direct.scenes[0]) + "wipe 0\n" + SceneLines(2, direct.scenes[1]) + "wipe 0\n" +
                  SceneLines(3, direct.scenes[2]),
              r.trace);

    // Scenes at ticks 0, 26 and 51, each with its fifty depth lines.
    const std::vector<std::string> lines = Lines(r.trace);
    ASSERT_EQ(3u * 51 + 2, lines.size());
    EXPECT_TRUE(StartsWith(lines[0], "scene 1 tick 0 method "));
    EXPECT_TRUE(StartsWith(lines[1], "grid 0 "));
    EXPECT_TRUE(StartsWith(lines[50], "grid 49 "));
    EXPECT_EQ("wipe 0", lines[51]);
    EXPECT_TRUE(StartsWith(lines[52], "scene 2 tick 26 method "));
    EXPECT_EQ("wipe 0", lines[103]);
    EXPECT_TRUE(StartsWith(lines[104], "scene 3 tick 51 method "));
}

TEST(TerrainSession, DrawTraceLabelsQuadsAndKeepsEventsInOrder)
{
    for (const bool erase : {true, false}) {
        SCOPED_TRACE(erase ? "Erase 2" : "Erase 0");
        ScratchDir dir;
        RenderArgs a = TerrainArgs(dir, 160, 120, 5, 27, {{"Speed", "5"}, {"Erase", erase ? "2" : "0"}});
        a.trace = true;
        a.traceDraw = true;
        const Result r = RunCapture(a);
        ASSERT_EQ(kExitOk, r.code) << r.log;
        const std::vector<std::string> lines = Lines(r.trace);
        ASSERT_GT(lines.size(), 152u);

        // Creation: the black clear, the scene's lines, then tick 1's hundred quads.
        EXPECT_EQ("rect 0 0 160 120", lines[0]);
        EXPECT_TRUE(StartsWith(lines[1], "scene 1 tick 0 "));
        EXPECT_TRUE(StartsWith(lines[51], "grid 49 "));
        for (std::size_t i = 52; i < 152; ++i) ASSERT_TRUE(StartsWith(lines[i], "quad ")) << i << ": " << lines[i];
        EXPECT_TRUE(StartsWith(lines[52], "quad 0 0 "));
        EXPECT_TRUE(StartsWith(lines[151], "quad 1 2 "));
        EXPECT_TRUE(StartsWith(lines[152], "quad 2 2 "));

        // The label stands before the very polygon the saver draws.
        const DirectTerrain direct(SettingsOf(a, ""), a.seed, a.width, a.height, 0);
        const TerrainState& first = direct.scenes[0].copy;
        std::ostringstream quad;
        quad << "quad 0 0 " << TerrainQuadColorIndex(*first.grid, first.maxHeight, 0, 0);
        for (const auto& [i, j] : {std::pair<int, int>{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
            const SurfacePoint p = ProjectTerrainPoint(160, 120, i, j, TerrainCell(*first.grid, i, j));
            quad << ' ' << p.x << ' ' << p.y;
        }
        EXPECT_EQ(quad.str(), lines[52]);

        // The scene change inside tick 26: the wipe's drawing and pauses, its
        // line, the clear and the new scene's lines, then its first quads.
        const auto lastQuad = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return StartsWith(l, "quad 48 48 "); });
        const auto wipeLine = std::find_if(lastQuad, lines.end(), [](const std::string& l) { return StartsWith(l, "wipe "); });
        ASSERT_NE(lines.end(), wipeLine);
        EXPECT_EQ(erase ? "wipe 0" : "wipe none", *wipeLine);
        const std::vector<std::string> wiping(lastQuad + 1, wipeLine);
        EXPECT_EQ(erase, !wiping.empty());
        for (const std::string& l : wiping) EXPECT_TRUE(StartsWith(l, "row ") || StartsWith(l, "column ") || StartsWith(l, "sleep ")) << l;
        const bool paused = std::any_of(wiping.begin(), wiping.end(), [](const std::string& l) { return StartsWith(l, "sleep "); });
        EXPECT_EQ(erase, paused);
        ASSERT_GT(lines.end() - wipeLine, 53);
        EXPECT_EQ("rect 0 0 160 120", wipeLine[1]);
        EXPECT_TRUE(StartsWith(wipeLine[2], "scene 2 tick 26 "));
        EXPECT_TRUE(StartsWith(wipeLine[53], "quad 0 0 "));

        // 2401 quads a scene, all drawn by tick 25, and two ticks of the next.
        EXPECT_EQ(2401 + 200, std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return StartsWith(l, "quad "); }));

        // Without --trace the same drawing lines, and only those.
        a.trace = false;
        const Result drawOnly = RunCapture(a);
        std::string drawing;
        for (const std::string& l : lines) {
            if (!StartsWith(l, "scene ") && !StartsWith(l, "grid ") && !StartsWith(l, "wipe ")) drawing += l + '\n';
        }
        EXPECT_EQ(drawing, drawOnly.trace);
    }
}

TEST(TerrainSession, ZeroSizeTracesButWritesNothing)
{
    ScratchDir dir;
    for (const auto& size : {std::pair<int, int>{0, 0}, {0, 8}, {8, 0}}) {
        RenderArgs a = TerrainArgs(dir, size.first, size.second, 4, 27, {{"Speed", "5"}, {"Erase", "3"}});
        a.trace = true;
        a.traceDraw = true;
        const Result r = RunCapture(a);
        EXPECT_EQ(kExitOk, r.code) << r.log;
        EXPECT_EQ(0u, r.trace.find("rect 0 0 " + std::to_string(size.first) + " " + std::to_string(size.second) + "\nscene 1 tick 0 "));
        EXPECT_NE(std::string::npos, r.trace.find("\nwipe 1\n"));
        EXPECT_NE(std::string::npos, r.trace.find("\nscene 2 tick 26 "));
        EXPECT_FALSE(std::filesystem::exists(a.outDir));
        EXPECT_NE(std::string::npos, r.log.find("wrote 0 frames"));
    }
}

TEST(TerrainSession, SettingsAndOutputProblems)
{
    ScratchDir dir;
    WriteText(dir.File("plain"), "x");
    const struct {
        std::function<void(RenderArgs&)> change;
        int code;
        const char* message;
    } cases[] = {
        {[&](RenderArgs& a) { a.iniPath = dir.File("nope.ini"); }, kExitUsage, "saver-render: --ini: "},
        {[&](RenderArgs& a) { a.outDir = dir.File("plain/sub"); }, kExitUsage, "saver-render: --out: "},
        {[](RenderArgs& a) { a.sets = {{"Degrees", "3"}, {"speed", "5"}}; }, kExitOk,
         "saver-render: warning: terrain has no setting 'Degrees'\nwrote 2 frames"},
    };
    for (const auto& c : cases) {
        RenderArgs a = TerrainArgs(dir, 8, 8, 1, 2, {});
        c.change(a);
        const Result r = RunCapture(a);
        EXPECT_EQ(c.code, r.code) << c.message;
        EXPECT_EQ(0u, r.log.find(c.message)) << r.log;
    }
}

TEST(TerrainTraceWriter, SceneWithoutGridIsOneLine)
{
    std::ostringstream out;
    TerrainTraceWriter writer(out, /*scenes*/ true, nullptr);
    TerrainState state; // as NewTerrainScene leaves it when the grid cannot be had
    state.scheme = 7;
    state.choices.method = TerrainMethod::Normal;
    state.choices.level = 2;
    state.choices.cut = 1;
    writer.SetTick(4000000000u);
    writer.SceneBuilt(state);
    writer.WipePlayed(-1);
    writer.SceneBuilt(state);
    EXPECT_EQ("scene 1 tick 4000000000 method normal level 2 cut 1 scheme 7 peaks 0 maxHeight 0\nwipe none\n"
              "scene 2 tick 4000000000 method normal level 2 cut 1 scheme 7 peaks 0 maxHeight 0\n",
              out.str());
}
