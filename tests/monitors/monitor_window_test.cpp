// One saver window destroyed on its own while the others run (run by
// monitor_layouts.sh, on several monitors). Full screen, the host makes a
// window for each monitor, and each runs the saver's life with a state of its
// own. Destroying another monitor's window frees that window's state and no
// other: the primary's keeps its scene and goes on drawing, and once every
// window is gone nothing of either is left: no GDI object, no handle, no byte.
// The terrain saver runs here, in this process, with a fixed seed and pauses
// that do not wait.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/win32/profile_settings_store.h"
#include "host/saver_host_state.h"
#include "host/saver_host_testing.h"
#include "terrain/terrain_life.h"
#include "tests/support/allocation_control.h"
#include "tests/win32/process_objects.h"
#include "tests/win32/saver_window_state.h"
#include "tests/win32/window_pixels.h"

namespace {

DWORD WINAPI FixedTick() { return 0x5EED0u; }

struct NoWait : StepPause {
    void Pause(int) override {}
};

// What the run saw, filled in by its one step inside the message loop.
struct MonitorRun {
    bool destroySecondary = false;
    int windows = 0;
    bool statesApart = false;
    bool secondaryStateGone = false;
    bool primaryStateKept = false;
    std::size_t freedBytes = 0;    // when the secondary's window went
    long long freedGdiObjects = 0; // likewise (-1: the objects cannot be counted here)
    int primaryTicksAfter = 0;     // the primary's scene clock went on...
    int primaryTicksExpected = -1; // ...as 45 ticks take it
    bool primaryDrewAfter = false; // and its window shows a scene
};
MonitorRun* currentRun = nullptr;

void TickBoth(HWND primary, HWND secondary, int count)
{
    for (int n = 0; n < count; ++n) {
        SendMessageA(primary, WM_TIMER, 7, 0);
        if (secondary != nullptr) SendMessageA(secondary, WM_TIMER, 7, 0);
    }
}

bool ShowsAnyColour(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    for (const std::uint32_t pixel : ReadWindowPixels(window, client.right, client.bottom)) {
        if (pixel != 0) return true;
    }
    return false;
}

// Runs once the windows exist: both draw, then the secondary's window is
// destroyed on its own (when the run asks for it) while the primary's goes
// on; then the primary's ends the run.
void CALLBACK StepRun(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    MonitorRun& run = *currentRun;
    const HWND primary = saverHost.saverWindow;
    const HWND secondary = saverHost.monitorWindows.empty() ? nullptr : saverHost.monitorWindows[0];
    run.windows = (primary != nullptr ? 1 : 0) + (secondary != nullptr ? 1 : 0);
    if (primary == nullptr) return;
    TickBoth(primary, secondary, 30); // a scene and the first ticks of the next
    const auto* primaryState = SaverWindowStateOf<TerrainSaverState>(primary);
    const auto* secondaryState = SaverWindowStateOf<TerrainSaverState>(secondary);
    run.statesApart = primaryState != nullptr && secondaryState != nullptr && primaryState != secondaryState;
    if (run.destroySecondary && secondary != nullptr && run.statesApart) {
        const std::size_t liveBefore = LiveAllocatedBytes();
        const DWORD gdiBefore = process_objects::CountGdiObjects(GetCurrentProcess());
        const TerrainGrid* grid = primaryState->scene.grid.get();
        const std::int32_t ticks = primaryState->scene.tickCount;
        DestroyWindow(secondary);
        run.freedBytes = liveBefore - LiveAllocatedBytes();
        run.freedGdiObjects = gdiBefore == 0 ? -1 : static_cast<long long>(gdiBefore) - process_objects::CountGdiObjects(GetCurrentProcess());
        run.secondaryStateGone = FindSaverWindowState(secondary) == nullptr;
        run.primaryStateKept = SaverWindowStateOf<TerrainSaverState>(primary) == primaryState && primaryState->scene.grid.get() == grid &&
                               primaryState->scene.tickCount == ticks && !primaryState->scene.palette.colors.empty();
        // The rest of this scene, and the whole of the next: the clock runs
        // 1..25 and starts again with each scene.
        TickBoth(primary, nullptr, 45);
        run.primaryTicksExpected = (ticks - 1 + 45) % 25 + 1;
        run.primaryTicksAfter = primaryState->scene.tickCount;
        run.primaryDrewAfter = ShowsAnyColour(primary);
    }
    DestroyWindow(primary);
}

class SeveralMonitorWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream out(GetSettingsPath(), std::ios::binary | std::ios::trunc);
        out << "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=0\r\n";
        out.close();
        SetSaverTickSourceForTesting(&FixedTick);
        SetSaverPauseForTesting(&noWait);
    }
    void TearDown() override
    {
        SetSaverPauseForTesting(nullptr);
        SetSaverTickSourceForTesting(nullptr);
        ResetSaverHostStateForTesting();
        std::remove(GetSettingsPath().c_str());
    }
    // Full screen through the host, as in a fresh process.
    static int RunFullScreen(MonitorRun& run)
    {
        ResetSaverHostStateForTesting();
        UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
        saverHost.instance = GetModuleHandleA(nullptr);
        currentRun = &run;
        SetTimer(nullptr, 0, 100, &StepRun);
        const int result = RunSaverWindow(nullptr);
        currentRun = nullptr;
        return result;
    }
    NoWait noWait;
};

} // namespace

TEST_F(SeveralMonitorWindows, AnotherMonitorsWindowDestroyedOnItsOwnFreesOnlyItsOwnState)
{
    if (GetSystemMetrics(SM_CMONITORS) < 2) GTEST_SKIP() << "needs several monitors";
    // Whatever the process makes once and keeps (the window records' list,
    // the monitors' list) is made by a first run.
    MonitorRun warm;
    ASSERT_EQ(RunFullScreen(warm), 0);
    ASSERT_EQ(warm.windows, 2) << "a window for each of the first two monitors";
    ASSERT_TRUE(warm.statesApart) << "each window runs a state of its own";

    MonitorRun run;
    run.destroySecondary = true;
    const process_objects::Reading before = process_objects::Read();
    const std::size_t liveBefore = LiveAllocatedBytes();
    const int result = RunFullScreen(run);
    // Read before anything is reported: a failure's report is kept in memory.
    const process_objects::Reading after = process_objects::Read();
    const std::size_t liveAfter = LiveAllocatedBytes();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(run.secondaryStateGone) << "the destroyed window's state is no longer kept";
    EXPECT_GE(run.freedBytes, sizeof(TerrainSaverState) + sizeof(TerrainGrid)) << "its state and grid are freed";
    if (run.freedGdiObjects >= 0) {
        EXPECT_GE(run.freedGdiObjects, 1) << "its logical palette is deleted";
    }
    EXPECT_TRUE(run.primaryStateKept) << "the primary's state, grid, clock and palette are untouched";
    EXPECT_EQ(run.primaryTicksAfter, run.primaryTicksExpected) << "the primary's scene clock goes on through its next scene";
    EXPECT_TRUE(run.primaryDrewAfter) << "the primary's window shows its scene";
    EXPECT_EQ(process_objects::Growth(before, after), "") << "after both windows";
    EXPECT_EQ(liveAfter, liveBefore) << "bytes still allocated after both windows";
}
