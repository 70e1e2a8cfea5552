// The terrain saver's window procedure on a window of the saver's kind,
// driven message by message with a fixed seed: the scenes it paints through
// GDI are the effect logic's scenes on the software surface, in the scheme's
// exact colours; ticks leave the private device context as they found it;
// nothing accumulates over a hundred scene changes; the timer lives as long as
// the window; what the host answers when a wipe's pause asks whether to give
// way.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "common/win32/profile_settings_store.h"
#include "host/saver_host_state.h"
#include "host/saver_host_testing.h"
#include "terrain/terrain_life.h"
#include "tests/effect/wipe_harness.h"
#include "tests/host/saver_under_test.h"
#include "tests/terrain_win32/terrain_test_window.h"
#include "tests/win32/process_objects.h"
#include "tests/win32/saver_window_state.h"

namespace {

constexpr DWORD kSeed = 0x7E55A1u;
DWORD WINAPI FixedTick() { return kSeed; }

// The test alone makes ticks: timer messages the saver's own timer leaves in
// the queue are dropped when something pumps it.
bool gDriving = false;

LRESULT CALLBACK DrivenProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && !gDriving) return 0;
    return ScreenSaverProc(window, message, wParam, lParam);
}

void Tick(HWND window, int count = 1)
{
    gDriving = true;
    for (int n = 0; n < count; ++n) SendMessageA(window, WM_TIMER, 7, 0); // any timer identifier draws
    gDriving = false;
}

void WriteSettings(const std::string& lines)
{
    std::ofstream out(GetSettingsPath(), std::ios::binary | std::ios::trunc);
    out << "[ScreenSaver.Kesmar]\r\n" << lines;
}

struct DrawnQuad {
    int index;
    SurfacePoint corners[4];
};

// The quads of the current scene, in drawing order.
struct SceneQuads : TerrainEvents {
    std::vector<DrawnQuad> quads;
    void SceneBuilt(const TerrainState&) override { quads.clear(); }
    void WipePlayed(int) override {}
    void QuadDrawing(int, int, int index, const SurfacePoint corners[4]) override
    {
        quads.push_back({index, {corners[0], corners[1], corners[2], corners[3]}});
    }
};

// The same life on the software surface, with the settings the window read.
struct SoftwareMirror {
    TerrainSettings settings;
    TerrainState state;
    RuntimeRandom random;
    SoftwareSurface surface;
    RecordedPauses pauses;
    SceneQuads record;
    int w, h;
    SoftwareMirror(int width, int height, const TerrainSettings& read) : settings(read), surface(width, height), w(width), h(height)
    {
        InitTerrain(state, settings, random, kSeed, surface, w, h, &record);
    }
    void Tick(int count)
    {
        for (int n = 0; n < count; ++n) TickTerrain(state, settings, random, surface, pauses, w, h, &record);
    }
};

// Live GDI objects of this process (under Wine, counted in its GDI handle
// table).
DWORD CountGdiObjects() { return process_objects::CountGdiObjects(GetCurrentProcess()); }

struct GuiObjects {
    DWORD gdi = CountGdiObjects();
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); // 0 under Wine
    bool operator==(const GuiObjects& other) const { return gdi == other.gdi && user == other.user; }
};

std::ostream& operator<<(std::ostream& out, const GuiObjects& objects)
{
    return out << objects.gdi << " GDI and " << objects.user << " user objects";
}

// What a device context has selected, and its origin.
struct ContextState {
    HGDIOBJ brush, pen, palette;
    POINT origin{};
    explicit ContextState(HDC dc)
        : brush(GetCurrentObject(dc, OBJ_BRUSH)), pen(GetCurrentObject(dc, OBJ_PEN)), palette(GetCurrentObject(dc, OBJ_PAL))
    {
        GetWindowOrgEx(dc, &origin);
    }
};

void ExpectContextState(HDC dc, const ContextState& found, const char* when)
{
    const ContextState now(dc);
    EXPECT_EQ(now.brush, found.brush) << when;
    EXPECT_EQ(now.pen, found.pen) << when;
    EXPECT_EQ(now.palette, found.palette) << when;
    EXPECT_EQ(now.origin.x, found.origin.x) << when;
    EXPECT_EQ(now.origin.y, found.origin.y) << when;
}

// Waits for a timer message of the window's own timer, taking it out of the queue.
bool TimerMessageArrives(HWND window, DWORD timeoutMs)
{
    const DWORD begin = GetTickCount();
    do {
        MSG message;
        if (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) return true;
        Sleep(5);
    } while (GetTickCount() - begin < timeoutMs);
    return false;
}

bool gPalettesFail = false;
HPALETTE WINAPI MakePaletteUnlessFailing(const LOGPALETTE* description) { return gPalettesFail ? nullptr : CreatePalette(description); }

// The colours the window shows, black left out.
std::set<std::uint32_t> ShownColours(HWND window, int w, int h)
{
    std::set<std::uint32_t> colours;
    for (const std::uint32_t pixel : ReadWindowPixels(window, w, h)) colours.insert(pixel);
    colours.erase(0);
    return colours;
}

class TerrainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSaverHostStateForTesting();
        // As in a preview, the host's defaults close nothing on input or
        // activation changes on the test's desktop.
        saverHost.isPreview = 1;
        SetSaverTickSourceForTesting(&FixedTick);
        SetSaverPauseForTesting(&pauses);
    }
    void TearDown() override
    {
        Close();
        SetSaverPaletteMakerForTesting(nullptr);
        gPalettesFail = false;
        SetSaverPauseForTesting(nullptr);
        SetSaverTickSourceForTesting(nullptr);
        ResetSaverHostStateForTesting();
        std::remove(GetSettingsPath().c_str());
    }
    // WM_CREATE reads the settings file and builds the first scene.
    void Open(const std::string& settings, int width, int height)
    {
        WriteSettings(settings);
        window = CreateOwnDcWindow(width, height, &DrivenProcedure);
        ASSERT_NE(window, nullptr);
    }
    void Close()
    {
        if (window != nullptr) DestroyWindow(window);
        closed = window;
        window = nullptr;
    }
    // What the window's life keeps: its settings, generator and scene.
    TerrainSaverState& Saver()
    {
        TerrainSaverState* saver = SaverWindowStateOf<TerrainSaverState>(window);
        if (saver == nullptr) throw std::runtime_error("the window has no saver state");
        return *saver;
    }

    RecordedPauses pauses;
    HWND window = nullptr;
    HWND closed = nullptr; // the window Close destroyed last
};

} // namespace

// First of its suite: no window of the saver has made a logical palette in
// this process before, so one that outlived its window would show.
TEST_F(TerrainWindow, TicksLeaveThePrivateContextAsFoundAndAHundredScenesLeaveNothingBehind)
{
    const std::string settings = "Speed=5\r\nErase=1\r\nColor=0\r\n"; // a wipe at random between scenes
    // Whatever the first window of the process makes once and keeps is made
    // here; its scenes are not drawn, so no logical palette is made yet.
    Open(settings, 160, 120);
    Close();
    const GuiObjects before;

    Open(settings, 160, 120);
    HDC dc = GetDC(window);
    // What other drawing might have left selected in the private context.
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 30));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
    LOGPALETTE onePalette{0x300, 1, {{10, 20, 30, 0}}};
    HPALETTE palette = CreatePalette(&onePalette);
    ASSERT_TRUE(brush && pen && palette);
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    SelectPalette(dc, palette, FALSE);
    SetWindowOrgEx(dc, 5, -4, nullptr);
    const ContextState found(dc);

    Tick(window);
    ExpectContextState(dc, found, "after a tick of quads");
    Tick(window, 25);
    ASSERT_FALSE(pauses.pauses.empty()) << "the 26th tick wipes";
    ExpectContextState(dc, found, "after a wipe and a new scene");

    const GuiObjects settled;
    const std::size_t pausesBefore = pauses.pauses.size();
    for (int scene = 0; scene < 100; ++scene) Tick(window, 25);
    EXPECT_GT(pauses.pauses.size(), pausesBefore + 100) << "the wipes between the scenes ran";
    EXPECT_EQ(GuiObjects(), settled) << "after 100 more scene changes";
    ExpectContextState(dc, found, "after 100 scene changes");

    SetWindowOrgEx(dc, 0, 0, nullptr);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteObject(palette);
    ReleaseDC(window, dc);
    Close();
    // The scene's logical palette, kept from tick to tick, went with the window.
    EXPECT_EQ(GuiObjects(), before) << "after the window is gone";
}

TEST_F(TerrainWindow, ScenesOnTheWindowAreTheEffectLogicsInTheSchemesColours)
{
    struct Case {
        int w, h;
        int color; // 0: a scheme at random for each scene
    };
    // The whole test display, and smaller windows of other proportions.
    for (const Case& c : {Case{1024, 768, 1}, Case{800, 600, 6}, Case{1000, 700, 0}}) {
        const std::string what = std::to_string(c.w) + "x" + std::to_string(c.h) + " Color=" + std::to_string(c.color);
        Open("Speed=5\r\nErase=0\r\nColor=" + std::to_string(c.color) + "\r\n", c.w, c.h);
        ASSERT_EQ(Saver().settings.Speed, 5) << what;
        ASSERT_EQ(Saver().settings.Color, c.color) << what;
        SoftwareMirror mirror(c.w, c.h, Saver().settings);
        // Two whole scenes: 25 ticks of 100 quads each, the second built by
        // the 26th tick.
        for (int scene = 1; scene <= 2; ++scene) {
            const std::string at = what + ", scene " + std::to_string(scene);
            Tick(window, 25);
            mirror.Tick(25);
            const TerrainState& windowScene = Saver().scene;
            ASSERT_TRUE(windowScene.grid && mirror.state.grid) << at;
            EXPECT_EQ(windowScene.grid->cells, mirror.state.grid->cells) << at;
            EXPECT_EQ(windowScene.scheme, mirror.state.scheme) << at;
            EXPECT_EQ(mirror.record.quads.size(), 49u * 49u) << at;

            const std::vector<std::uint32_t> shown = ReadWindowPixels(window, c.w, c.h);
            EXPECT_GE(EqualShare(shown, mirror.surface.pixels), 0.99) << at;

            // Where a quad's centre and the eight pixels around it show the
            // quad's own colour, the window shows exactly the scheme's entry.
            const auto colors = TerrainSchemeColors(mirror.state.scheme);
            int checked = 0, wrong = 0;
            std::set<int> indices;
            for (const DrawnQuad& quad : mirror.record.quads) {
                const int x = (quad.corners[0].x + quad.corners[1].x + quad.corners[2].x + quad.corners[3].x) / 4;
                const int y = (quad.corners[0].y + quad.corners[1].y + quad.corners[2].y + quad.corners[3].y) / 4;
                if (x < 1 || y < 1 || x >= c.w - 1 || y >= c.h - 1) continue;
                const std::uint32_t want = colors[static_cast<std::size_t>(quad.index)];
                bool solid = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) solid = solid && mirror.surface.PixelAt(x + dx, y + dy) == want;
                if (!solid) continue;
                ++checked;
                indices.insert(quad.index);
                const std::uint32_t got = shown[static_cast<std::size_t>(y) * static_cast<std::size_t>(c.w) + static_cast<std::size_t>(x)];
                if (got != want && wrong++ < 3)
                    ADD_FAILURE() << at << ": quad of index " << quad.index << " at " << x << "," << y << " shows " << std::hex << got
                                  << ", the scheme has " << want;
            }
            EXPECT_EQ(wrong, 0) << at << ", of " << checked << " quads";
            EXPECT_GE(checked, 40) << at;
            EXPECT_GE(indices.size(), 5u) << at;
        }
        Close();
        EXPECT_EQ(FindSaverWindowState(closed), nullptr) << what << ": the grid and palette are freed at destruction";
    }
}

// A scene whose logical palette cannot be made is drawn in the previous
// scene's; before any palette was made, no quad is drawn at all, where the
// context's default palette would have given them colours of its own.
TEST_F(TerrainWindow, ScenePaletteThatCannotBeMadeKeepsThePreviousOneOrDrawsNothing)
{
    SetSaverPaletteMakerForTesting(&MakePaletteUnlessFailing);
    gPalettesFail = true;
    Open("Speed=5\r\nErase=0\r\nColor=3\r\n", 320, 240);
    Tick(window, 25);
    EXPECT_TRUE(ShownColours(window, 320, 240).empty()) << "quads drawn without a palette of the scene's";
    gPalettesFail = false;
    Tick(window, 25); // the second scene, in its own palette: scheme 2
    const auto second = TerrainSchemeColors(2);
    gPalettesFail = true;
    Saver().settings.Color = 6; // the third scene's scheme 5 shares no colour with scheme 2
    Tick(window, 25);
    ASSERT_EQ(Saver().scene.scheme, 5);
    const std::set<std::uint32_t> shown = ShownColours(window, 320, 240);
    EXPECT_GT(shown.size(), 10u);
    for (const std::uint32_t colour : shown)
        EXPECT_TRUE(std::find(second.begin(), second.end(), colour) != second.end()) << std::hex << colour << " is no colour of the previous scene";
}

TEST_F(TerrainWindow, TimerLivesWithTheWindowAndMessagesReachTheHost)
{
    Open("Speed=5\r\n", 64, 48);
    EXPECT_TRUE(TimerMessageArrives(window, 2000)) << "the saver's timer runs";

    // Input goes on to the host's dismissal rules, which ask for a close.
    saverHost.isPreview = 0;
    SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    saverHost.isPreview = 1;
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));

    SendMessageA(window, WM_DESTROY, 0, 0);
    EXPECT_EQ(FindSaverWindowState(window), nullptr) << "WM_DESTROY frees the scene";
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    EXPECT_FALSE(TimerMessageArrives(window, 200)) << "WM_DESTROY kills the timer";
}

namespace {

// Sends a message to `window` from a thread of its own and keeps it waiting
// for the answer until this thread takes its messages.
struct SentFromAnotherThread {
    HWND window;
    volatile LONG answered = 0;
    HANDLE thread;
    explicit SentFromAnotherThread(HWND target) : window(target), thread(CreateThread(nullptr, 0, &Send, this, 0, nullptr)) {}
    ~SentFromAnotherThread()
    {
        PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 5000);
        CloseHandle(thread);
    }
    static DWORD WINAPI Send(void* data)
    {
        auto* self = static_cast<SentFromAnotherThread*>(data);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(self->window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        InterlockedExchange(&self->answered, 1);
        return 0;
    }
};

} // namespace

// The question a wipe's pause asks the host between its waits, with the
// queue as a wipe can find it. What waits there decides by the host's
// dismissal rules, and the asking takes nothing from the queue and answers
// nothing.
TEST(SaverGiveWay, WhatWaitsInTheQueueDecidesAndStaysThere)
{
    enum class Waiting { Nothing, Key, Posted, Sent };
    enum class Mode { FullScreen, Preview, CheckingPassword, Closing };
    struct Case {
        const char* name;
        Mode mode;
        Waiting waiting;
        POINT moved; // the cursor's distance from where movement is measured
        int expected;
    };
    const Case cases[] = {
        {"nothing", Mode::FullScreen, Waiting::Nothing, {0, 0}, 0},
        {"4 px of jitter", Mode::FullScreen, Waiting::Nothing, {2, -2}, 0},
        {"5 px away", Mode::FullScreen, Waiting::Nothing, {-3, 2}, 1},
        {"a key", Mode::FullScreen, Waiting::Key, {0, 0}, 1},
        {"a posted message", Mode::FullScreen, Waiting::Posted, {0, 0}, 0},
        {"a sent message", Mode::FullScreen, Waiting::Sent, {0, 0}, 1},
        {"preview, a key", Mode::Preview, Waiting::Key, {0, 0}, 0},
        {"preview, moved", Mode::Preview, Waiting::Nothing, {30, 30}, 0},
        {"preview, a sent message", Mode::Preview, Waiting::Sent, {0, 0}, 1},
        {"verifier asking, a key", Mode::CheckingPassword, Waiting::Key, {0, 0}, 1},
        {"verifier asking, moved", Mode::CheckingPassword, Waiting::Nothing, {3, 2}, 0},
        {"closing", Mode::Closing, Waiting::Nothing, {0, 0}, 1},
    };
    const HWND window = CreateOwnDcWindow(64, 48);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }, 3000));
    for (const Case& c : cases) {
        PumpMessages();
        ResetSaverHostStateForTesting();
        saverHost.saverWindow = window;
        saverHost.isPreview = c.mode == Mode::Preview ? 1 : 0;
        saverHost.isCheckingPassword = c.mode == Mode::CheckingPassword ? 1 : 0;
        saverHost.isClosing = c.mode == Mode::Closing ? 1 : 0;
        POINT cursor{};
        GetCursorPos(&cursor);
        saverHost.lastCursorPos = {cursor.x - c.moved.x, cursor.y - c.moved.y};
        std::unique_ptr<SentFromAnotherThread> sent;
        switch (c.waiting) {
        case Waiting::Nothing: break;
        case Waiting::Key:
            SendKeyPress('K');
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2000, QS_KEY);
            break;
        case Waiting::Posted: PostMessageA(window, WM_USER + 7, 0, 0); break;
        case Waiting::Sent:
            sent = std::make_unique<SentFromAnotherThread>(window);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2000, QS_SENDMESSAGE);
            break;
        }
        EXPECT_EQ(ShouldSaverStepGiveWay(), c.expected) << c.name;
        MSG message;
        const UINT left = c.waiting == Waiting::Key ? WM_KEYDOWN : c.waiting == Waiting::Posted ? WM_USER + 7 : 0;
        if (left != 0) {
            EXPECT_TRUE(PeekMessageA(&message, window, left, left, PM_REMOVE)) << c.name << ": taken from the queue";
        }
        if (sent) {
            EXPECT_EQ(sent->answered, 0) << c.name << ": the sent message was answered while asking";
        }
    }
    ResetSaverHostStateForTesting();
    DestroyWindow(window);
    PumpMessages();
}
