// What the relief saver's window leaves behind: the process's GDI and USER
// objects, kernel handles and private bytes stay flat over 10,000 frames, and
// a hundred previews opened and closed in one parent through the host's
// entry, each starting the snapshot helper, leave nothing behind. The
// previews run in this process on purpose: a preview process frees
// everything when it ends, so only in one process does a window's leftover
// show.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/win32/profile_settings_store.h"
#include "tests/win32/preview_run.h"
#include "tests/win32/process_objects.h"

using process_objects::Describe;
using process_objects::Growth;
using process_objects::Reading;

namespace {

class ReliefLeaks : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream out(GetSettingsPath(), std::ios::binary | std::ios::trunc);
        out << "[ScreenSaver.Ondrels]\r\nDelay=5000\r\nColorCount=64\r\nSoften=1\r\n";
        out.close();
        parent = preview_run::CreateParent(64, 48);
        ASSERT_NE(parent, nullptr);
        // Whatever the first window of the process makes once and keeps.
        ASSERT_EQ(preview_run::RunPreview(parent, preview_run::SendFramesThenClose(50)), 0);
    }
    void TearDown() override
    {
        if (parent != nullptr) DestroyWindow(parent);
        ResetSaverHostStateForTesting();
        std::remove(GetSettingsPath().c_str());
    }
    HWND parent = nullptr;
};

} // namespace

TEST_F(ReliefLeaks, TenThousandFramesLeaveObjectsAndMemoryFlat)
{
    const Reading before = process_objects::Read();
    Reading warm, late;
    int frames = 0;
    HWND shown = nullptr;
    const int result = preview_run::RunPreview(parent, [&](HWND preview) {
        shown = preview;
        // Frames of the first ticks make what a running window keeps (the
        // surface's row buffer); the count starts after them.
        for (int n = 0; n < 100; ++n) SendMessageA(preview, WM_TIMER, 7, 0);
        warm = process_objects::Read();
        for (; frames < 10000; ++frames) SendMessageA(preview, WM_TIMER, 7, 0);
        late = process_objects::Read();
        return false;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(frames, 10000);
    std::printf("over 10,000 frames: from %s to %s\n", Describe(warm).c_str(), Describe(late).c_str());
    EXPECT_EQ(Growth(warm, late), "") << "over 10,000 frames: from " << Describe(warm) << " to " << Describe(late);
    EXPECT_EQ(Growth(before, process_objects::Read()), "") << "after the window, against before it";
    EXPECT_EQ(FindSaverWindowState(shown), nullptr) << "the state is freed at destruction";
}

TEST_F(ReliefLeaks, HundredPreviewsInOneParentLeaveNothingBehind)
{
    const Reading before = process_objects::Read();
    int closed = 0;
    for (int n = 0; n < 100; ++n) closed += preview_run::RunPreview(parent, preview_run::SendFramesThenClose(5)) == 0 ? 1 : 0;
    EXPECT_EQ(closed, 100);
    const Reading after = process_objects::Read();
    std::printf("100 previews: from %s to %s\n", Describe(before).c_str(), Describe(after).c_str());
    EXPECT_EQ(Growth(before, after), "") << "from " << Describe(before) << " to " << Describe(after);
    EXPECT_EQ(FindWindowExA(parent, nullptr, nullptr, nullptr), nullptr) << "a preview window is left in the parent";
}
