// The saver window seen from outside: the full-screen window, its dismissal
// by real input, and the preview inside a window of the test.
#include "tests/host/saver_under_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kStartX = 500;
constexpr int kStartY = 400;


std::string WindowTitle(HWND window)
{
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// Lets a few messages pass in the saver when nothing can be watched in it.
void SettleWithoutLog()
{
    PumpUntil([] { return false; }, 300);
}

class FullScreenTest : public ::testing::Test {
protected:
    void StartSaver()
    {
        ASSERT_TRUE(MoveCursorTo(kStartX, kStartY));
        std::string error;
        SaverStart start{"/s", "", {{"HOST_PROBE_LOG", log.Path()}}};
        ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
        window = saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs);
        ASSERT_NE(window, nullptr) << "no full-screen window appeared";
        if (IsProbeUnderTest()) {
            ASSERT_GE(log.WaitForLine("timer", kStartTimeoutMs), 0) << log.Text();
        } else {
            SettleWithoutLog();
        }
    }

    // After a movement that must not close: in the probe, wait until the move
    // reached the saver; any close it caused would be logged before the next.
    void ExpectStillRunningAfterMoveTo(int x, int y)
    {
        if (IsProbeUnderTest()) {
            const std::string line = "mousemove " + std::to_string(x) + " " + std::to_string(y);
            ASSERT_GE(log.WaitForLine(line, kExitTimeoutMs), 0) << log.Text();
        } else {
            SettleWithoutLog();
        }
        EXPECT_TRUE(saver.IsRunning()) << "the saver closed after a move to " << x << "," << y;
    }

    void ExpectClosesWithZero()
    {
        DWORD code = 1;
        ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << "the saver did not close";
        EXPECT_EQ(code, 0u);
    }

    ProbeLog log;
    SaverProcess saver;
    HWND window = nullptr;
};

TEST_F(FullScreenTest, IsATopmostPopupOfTheScreenSize)
{
    StartSaver();
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "WindowsScreenSaverClass");
    EXPECT_EQ(WindowTitle(window), "Screen Saver");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }, 3000));
}

TEST_F(FullScreenTest, SecondStartBringsTheFirstToTheFrontAndEnds)
{
    StartSaver();
    ProbeLog secondLog;
    SaverProcess second;
    std::string error;
    SaverStart start{"/s", "", {{"HOST_PROBE_LOG", secondLog.Path()}}};
    ASSERT_TRUE(second.Start(SaverUnderTest(), start, &error)) << error;
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(saver.IsRunning());
    EXPECT_EQ(GetForegroundWindow(), window);
    if (IsProbeUnderTest()) {
        EXPECT_EQ(secondLog.IndexOf("create"), -1) << secondLog.Text();
    }
}

TEST_F(FullScreenTest, SetTextLeavesTheTitle)
{
    StartSaver();
    DWORD_PTR result = 1;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other"),
                                    SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(WindowTitle(window), "Screen Saver");
    if (IsProbeUnderTest()) {
        EXPECT_EQ(log.IndexOf("settext"), -1) << log.Text();
    }
}

TEST_F(FullScreenTest, RefusesSwitchingAndSaverSystemCommands)
{
    StartSaver();
    for (WPARAM command : {WPARAM{SC_NEXTWINDOW}, WPARAM{SC_PREVWINDOW}, WPARAM{SC_SCREENSAVE}}) {
        DWORD_PTR result = 1;
        ASSERT_TRUE(SendMessageTimeoutA(window, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_EQ(result, 0u) << "command " << command;
    }
    EXPECT_TRUE(saver.IsRunning());
    if (IsProbeUnderTest()) {
        EXPECT_EQ(log.IndexOf("syscommand"), -1) << log.Text();
    }
}

TEST_F(FullScreenTest, FourPixelsKeepItFivePixelsCloseIt)
{
    StartSaver();
    ASSERT_TRUE(MoveCursorTo(kStartX + 2, kStartY + 2));
    ExpectStillRunningAfterMoveTo(kStartX + 2, kStartY + 2);
    ASSERT_TRUE(MoveCursorTo(kStartX + 3, kStartY + 2));
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, SmallMovesAddUpFromTheStartPosition)
{
    StartSaver();
    const POINT steps[] = {{kStartX + 1, kStartY}, {kStartX + 2, kStartY + 1}, {kStartX + 3, kStartY + 1},
                           {kStartX + 1, kStartY + 3}};
    for (const POINT& step : steps) {
        ASSERT_TRUE(MoveCursorTo(step.x, step.y));
        ExpectStillRunningAfterMoveTo(step.x, step.y);
    }
    ASSERT_TRUE(MoveCursorTo(kStartX + 2, kStartY + 3));
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, KeyPressCloses)
{
    StartSaver();
    SendKeyPress('A');
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, AltKeyCloses)
{
    StartSaver();
    SendKeyPress(VK_MENU);
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, LeftButtonCloses)
{
    StartSaver();
    SendMouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, RightButtonCloses)
{
    StartSaver();
    SendMouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, MiddleButtonCloses)
{
    StartSaver();
    SendMouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ExpectClosesWithZero();
}

TEST_F(FullScreenTest, AnotherApplicationBecomingActiveCloses)
{
    StartSaver();
    TestWindow other(100, 80);
    other.BringToFront();
    ExpectClosesWithZero();
}

class PreviewTest : public ::testing::Test {
protected:
    void StartPreview()
    {
        std::string error;
        SaverStart start{"/p " + parent.HandleText(), "", {{"HOST_PROBE_LOG", log.Path()}}};
        ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
        PumpUntil([&] {
            child = FindWindowExA(parent.Handle(), nullptr, "WindowsScreenSaverClass", nullptr);
            return child != nullptr || !saver.IsRunning();
        }, kStartTimeoutMs);
        ASSERT_NE(child, nullptr) << "no preview window appeared";
        if (IsProbeUnderTest()) {
            ASSERT_GE(log.WaitForLine("timer", kStartTimeoutMs), 0) << log.Text();
        }
    }

    // A context-menu request posted after other messages comes back to the
    // parent only once the saver has handled everything posted before it.
    void WaitUntilPostedMessagesHandled()
    {
        const int before = parent.forwardedCount;
        PostMessageA(child, WM_CONTEXTMENU, 0, MAKELPARAM(1, 1));
        ASSERT_TRUE(PumpUntil([&] { return parent.forwardedCount > before; }, kExitTimeoutMs));
    }

    void CloseAndExpectZero()
    {
        PostMessageA(child, WM_CLOSE, 0, 0);
        DWORD code = 1;
        ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
        EXPECT_EQ(code, 0u);
    }

    TestWindow parent{320, 240};
    ProbeLog log;
    SaverProcess saver;
    HWND child = nullptr;
};

TEST_F(PreviewTest, FillsTheParentClientArea)
{
    StartPreview();
    RECT client = {};
    GetClientRect(parent.Handle(), &client);
    RECT frame = {};
    GetWindowRect(child, &frame);
    MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, client.right);
    EXPECT_EQ(frame.bottom, client.bottom);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(WindowTitle(child), "Preview");
    if (IsProbeUnderTest()) {
        EXPECT_GE(log.IndexOf("create " + std::to_string(reinterpret_cast<ULONG_PTR>(child)) + " parent " +
                              parent.HandleText()), 0) << log.Text();
    }
    CloseAndExpectZero();
}

TEST_F(PreviewTest, IgnoresInputAndActivation)
{
    StartPreview();
    PostMessageA(child, WM_KEYDOWN, 'A', 0);
    PostMessageA(child, WM_SYSKEYDOWN, VK_MENU, 0);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(child, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    PostMessageA(child, WM_MBUTTONDOWN, MK_MBUTTON, 0);
    PostMessageA(child, WM_ACTIVATEAPP, 0, 0);
    ASSERT_TRUE(MoveCursorTo(20, 20));
    ASSERT_TRUE(MoveCursorTo(900, 700));
    PostMessageA(child, WM_MOUSEMOVE, 0, 0);
    WaitUntilPostedMessagesHandled();
    EXPECT_TRUE(saver.IsRunning());
    EXPECT_TRUE(IsWindow(child));
    if (IsProbeUnderTest()) {
        EXPECT_GE(log.IndexOf("keydown"), 0) << log.Text();
        EXPECT_EQ(log.IndexOf("close"), -1) << log.Text();
    }
    CloseAndExpectZero();
}

TEST_F(PreviewTest, ForwardsHelpAndContextMenuToTheParent)
{
    StartPreview();
    const LPARAM where = MAKELPARAM(10, 20);
    const int before = parent.forwardedCount;
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), where,
                                    SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_EQ(result, 1u);
    ASSERT_TRUE(PumpUntil([&] { return parent.forwardedCount > before; }, kExitTimeoutMs));
    EXPECT_EQ(parent.lastForwarded, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(parent.lastForwardedWParam, reinterpret_cast<WPARAM>(parent.Handle()));
    EXPECT_EQ(parent.lastForwardedLParam, where);

    HELPINFO help = {};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = child;
    result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), SMTO_ABORTIFHUNG,
                                    5000, &result));
    EXPECT_EQ(result, 1u);
    ASSERT_TRUE(PumpUntil([&] { return parent.lastForwarded == WM_HELP; }, kExitTimeoutMs));
    EXPECT_EQ(parent.lastForwardedWParam, reinterpret_cast<WPARAM>(parent.Handle()));
    if (IsProbeUnderTest()) {
        EXPECT_EQ(log.IndexOf("help"), -1) << log.Text();
        EXPECT_EQ(log.IndexOf("contextmenu"), -1) << log.Text();
    }
    CloseAndExpectZero();
}

TEST_F(PreviewTest, SystemCommandsReachTheSaver)
{
    if (!IsProbeUnderTest())
        GTEST_SKIP() << "needs the probe saver's log";
    StartPreview();
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(child, WM_SYSCOMMAND, SC_NEXTWINDOW, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_GE(log.IndexOf("syscommand " + std::to_string(reinterpret_cast<ULONG_PTR>(child)) + " " +
                          std::to_string(SC_NEXTWINDOW)), 0) << log.Text();
    CloseAndExpectZero();
}

} // namespace
