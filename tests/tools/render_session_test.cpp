#include "render_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "common/ini_settings_store.h"
#include "common/runtime_random.h"
#include "common/step_pause.h"
#include "image_io.h"
#include "relief/relief_life.h"
#include "synthetic_desktop.h"
#include "terrain/terrain_wipes.h"
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
