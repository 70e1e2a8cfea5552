#include "render_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "common/ini_settings_store.h"
#include "image_io.h"
#include "relief/relief_life.h"
#include "synthetic_desktop.h"
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
