// What the terrain saver's window leaves behind: the process's GDI and USER
// objects, kernel handles and private bytes stay flat over 200 scene changes
// with every wipe in turn, and a hundred previews opened and closed in one
// parent through the host's entry leave nothing behind. The previews run in
// this process on purpose: a preview process frees everything when it ends,
// so only in one process does a window's leftover show.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/win32/profile_settings_store.h"
#include "terrain/terrain_life.h"
#include "tests/win32/preview_run.h"
#include "tests/win32/process_objects.h"
#include "tests/win32/saver_window_state.h"

using process_objects::Describe;
using process_objects::Growth;
using process_objects::Reading;

namespace {

// The wipes' pauses counted, never slept, and nothing allocated for them.
struct CountedPauses : StepPause {
    long long count = 0;
    void Pause(int) override { ++count; }
};

constexpr int kTicksPerScene = 25; // Speed 5

class TerrainLeaks : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream out(GetSettingsPath(), std::ios::binary | std::ios::trunc);
        out << "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=2\r\n";
        out.close();
        SetSaverPauseForTesting(&pauses);
        parent = preview_run::CreateParent(160, 120);
        ASSERT_NE(parent, nullptr);
        // Whatever the process makes once and keeps, and the heap's high
        // water: every wipe played three times in a first window.
        ASSERT_EQ(preview_run::RunPreview(parent, [this](HWND preview) {
            ChangeScenes(preview, 45);
            return false;
        }), 0);
        changes = missed = 0;
    }
    void TearDown() override
    {
        if (parent != nullptr) DestroyWindow(parent);
        SetSaverPauseForTesting(nullptr);
        ResetSaverHostStateForTesting();
        std::remove(GetSettingsPath().c_str());
    }

    // Ends `count` whole scenes with the wipes Erase 2..16 (wipes 0..14) in
    // turn, each set just before the tick that ends a scene with it. The
    // window's own timer may have drawn a few ticks of the first scene.
    void ChangeScenes(HWND preview, int count)
    {
        TerrainSaverState* saver = SaverWindowStateOf<TerrainSaverState>(preview);
        ASSERT_NE(saver, nullptr);
        while (saver->scene.tickCount < kTicksPerScene) SendMessageA(preview, WM_TIMER, 7, 0);
        for (int scene = 0; scene < count; ++scene) {
            saver->settings.Erase = 2 + changes % 15;
            SendMessageA(preview, WM_TIMER, 7, 0); // the wipe, the next scene and its first quads
            missed += saver->scene.tickCount == 1 ? 0 : 1;
            for (int tick = 1; tick < kTicksPerScene; ++tick) SendMessageA(preview, WM_TIMER, 7, 0);
            missed += saver->scene.tickCount == kTicksPerScene ? 0 : 1;
            ++changes;
        }
    }

    CountedPauses pauses;
    HWND parent = nullptr;
    int changes = 0, missed = 0;
};

} // namespace

TEST_F(TerrainLeaks, TwoHundredSceneChangesWithEveryWipeInTurnLeaveObjectsAndMemoryFlat)
{
    const Reading before = process_objects::Read();
    Reading warm, late;
    HWND shown = nullptr;
    const int result = preview_run::RunPreview(parent, [&](HWND preview) {
        shown = preview;
        ChangeScenes(preview, 15);
        warm = process_objects::Read();
        ChangeScenes(preview, 200);
        late = process_objects::Read();
        return false;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(changes, 215);
    EXPECT_EQ(missed, 0) << "ticks that did not end or begin a scene where expected";
    EXPECT_GT(pauses.count, 0) << "the wipes ran";
    std::printf("over 200 scene changes: from %s to %s\n", Describe(warm).c_str(), Describe(late).c_str());
    EXPECT_EQ(Growth(warm, late), "") << "over 200 scene changes: from " << Describe(warm) << " to " << Describe(late);
    EXPECT_EQ(Growth(before, process_objects::Read()), "") << "after the window, against before it";
    EXPECT_EQ(FindSaverWindowState(shown), nullptr) << "the scene is freed at destruction";
}

TEST_F(TerrainLeaks, HundredPreviewsInOneParentLeaveNothingBehind)
{
    const Reading before = process_objects::Read();
    int closed = 0;
    // Each preview builds a scene, draws it, wipes it and builds the next.
    for (int n = 0; n < 100; ++n)
        closed += preview_run::RunPreview(parent, preview_run::SendFramesThenClose(kTicksPerScene + 1)) == 0 ? 1 : 0;
    EXPECT_EQ(closed, 100);
    const Reading after = process_objects::Read();
    std::printf("100 previews: from %s to %s\n", Describe(before).c_str(), Describe(after).c_str());
    EXPECT_EQ(Growth(before, after), "") << "from " << Describe(before) << " to " << Describe(after);
    EXPECT_EQ(FindWindowExA(parent, nullptr, nullptr, nullptr), nullptr) << "a preview window is left in the parent";
}
