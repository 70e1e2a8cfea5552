// The host's procedures called directly, with this test program as the saver:
// what cannot be watched from another process (state flags, dropped timer
// ticks, the re-entered close check, callbacks that throw).
#include "host/saver_host_state.h"
#include "host/saver_host_testing.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

std::vector<UINT> saverMessages;
std::function<void(HWND, UINT, WPARAM, LPARAM)> onSaverMessage;
bool throwAtCreate = false;
bool throwAtTimer = false;
int registerControlsResult = 1;
bool throwInRegisterControls = false;
bool throwInDialog = false;
std::vector<int> runningFlagCalls;
std::vector<MSG> parentReceived;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HELP || message == WM_CONTEXTMENU) {
        MSG seen = {};
        seen.message = message;
        seen.wParam = wParam;
        seen.lParam = lParam;
        parentReceived.push_back(seen);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RecordRunningFlag(int on)
{
    runningFlagCalls.push_back(on);
}

int Count(UINT message)
{
    int count = 0;
    for (UINT seen : saverMessages)
        count += seen == message;
    return count;
}

bool TakePostedClose(HWND window)
{
    MSG message;
    bool found = false;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        found = true;
    return found;
}

} // namespace

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    saverMessages.push_back(message);
    if (onSaverMessage)
        onSaverMessage(window, message, wParam, lParam);
    if (message == WM_CREATE && throwAtCreate)
        throw std::runtime_error("saver state cannot be built");
    if (message == WM_TIMER && throwAtTimer)
        throw std::runtime_error("frame failed");
    return DefaultSaverProc(window, message, wParam, lParam);
}

INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        if (throwInDialog)
            throw std::runtime_error("dialog failed");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI RegisterSaverDialogControls(HINSTANCE)
{
    if (throwInRegisterControls)
        throw std::runtime_error("controls failed");
    return registerControlsResult;
}

namespace {

const char kDirectClass[] = "HostInProcessWindow";

// Each test starts from the host's start values, on the platform it names.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSaverHostStateForTesting();
        saverHost.instance = GetModuleHandleA(nullptr);
        SetSaverPlatformForTesting(0);
        SetSaverModuleNamesForTesting(nullptr, nullptr);
        SetSaverRunningFlagObserverForTesting(RecordRunningFlag);
        saverMessages.clear();
        runningFlagCalls.clear();
        onSaverMessage = nullptr;
        throwAtCreate = throwAtTimer = throwInRegisterControls = throwInDialog = false;
        registerControlsResult = 1;
    }
    void TearDown() override
    {
        if (window != nullptr && IsWindow(window))
            DestroyWindow(window);
        if (parent != nullptr)
            DestroyWindow(parent);
        UnloadPasswordVerifier();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        SetSaverPlatformForTesting(-1);
        SetSaverRunningFlagObserverForTesting(nullptr);
        UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
    }

    // A window run by the host's window procedure, without the host's loop.
    void MakeWindow(bool preview)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = SaverHostWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kDirectClass;
        RegisterClassA(&windowClass);
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = RecordingParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "HostInProcessParent";
        RegisterClassA(&parentClass);
        parentReceived.clear();
        if (preview) {
            parent = CreateWindowExA(0, "HostInProcessParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                     nullptr, nullptr, nullptr);
            saverHost.isPreview = 1;
        }
        window = CreateWindowExA(0, kDirectClass, "Screen Saver", preview ? WS_CHILD : WS_POPUP, 0, 0, 100, 80,
                                 parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        saverHost.saverWindow = window;
        saverMessages.clear();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(window, message, wParam, lParam);
    }

    HWND window = nullptr;
    HWND parent = nullptr;
};

TEST_F(HostTest, WindowsTitleNeverChanges)
{
    MakeWindow(false);
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
    EXPECT_EQ(Count(WM_SETTEXT), 0);
}

TEST_F(HostTest, ClosingStopsTimerPaintAndInputReachingTheSaver)
{
    MakeWindow(false);
    Send(WM_TIMER, 1);
    EXPECT_EQ(Count(WM_TIMER), 1);

    saverHost.isClosing = 1;
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    Send(WM_PAINT);
    for (UINT input : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        Send(input);
    EXPECT_EQ(Count(WM_TIMER), 1);
    EXPECT_EQ(Count(WM_PAINT), 0);
    EXPECT_EQ(Count(WM_KEYDOWN) + Count(WM_MOUSEMOVE) + Count(WM_LBUTTONDOWN), 0);
    EXPECT_FALSE(TakePostedClose(window));
}

TEST_F(HostTest, FullScreenRefusesExactlyThreeSystemCommands)
{
    MakeWindow(false);
    for (WPARAM command : {WPARAM{SC_NEXTWINDOW}, WPARAM{SC_PREVWINDOW}, WPARAM{SC_SCREENSAVE}})
        EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0);
    EXPECT_EQ(Count(WM_SYSCOMMAND), 0);
    Send(WM_SYSCOMMAND, SC_RESTORE);
    Send(WM_SYSCOMMAND, SC_NEXTWINDOW | 1);
    EXPECT_EQ(Count(WM_SYSCOMMAND), 2);
}

TEST_F(HostTest, PreviewPassesSystemCommandsAndForwardsHelpToTheParent)
{
    MakeWindow(true);
    Send(WM_SYSCOMMAND, SC_NEXTWINDOW);
    EXPECT_EQ(Count(WM_SYSCOMMAND), 1);

    HELPINFO help = {};
    help.cbSize = sizeof help;
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 1);
    EXPECT_EQ(Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(7, 9)), 1);
    EXPECT_EQ(Count(WM_HELP) + Count(WM_CONTEXTMENU), 0);

    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    ASSERT_EQ(parentReceived.size(), 2u);
    EXPECT_EQ(parentReceived[0].message, static_cast<UINT>(WM_HELP));
    EXPECT_EQ(parentReceived[0].wParam, reinterpret_cast<WPARAM>(parent));
    EXPECT_EQ(parentReceived[0].lParam, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(parentReceived[1].message, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(parentReceived[1].wParam, reinterpret_cast<WPARAM>(parent));
    EXPECT_EQ(parentReceived[1].lParam, MAKELPARAM(7, 9));
}

TEST_F(HostTest, FullScreenPassesHelpToTheSaver)
{
    MakeWindow(false);
    Send(WM_CONTEXTMENU, 0, 0);
    EXPECT_EQ(Count(WM_CONTEXTMENU), 1);
}

TEST_F(HostTest, PressesAndLostActivationAskToCloseReleasesAndWheelDoNot)
{
    MakeWindow(false);
    for (UINT press : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        Send(press);
        EXPECT_TRUE(TakePostedClose(window)) << "message " << press;
    }
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_TRUE(TakePostedClose(window));
    for (UINT other : {WM_KEYUP, WM_SYSKEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_LBUTTONDBLCLK,
                       WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, WM_CHAR}) {
        Send(other);
        EXPECT_FALSE(TakePostedClose(window)) << "message " << other;
    }
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_FALSE(TakePostedClose(window));
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
}

TEST_F(HostTest, PreviewAndPasswordCheckTurnNoInputIntoACloseRequest)
{
    MakeWindow(true);
    Send(WM_KEYDOWN);
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_FALSE(TakePostedClose(window));
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);

    saverHost.isPreview = 0;
    saverHost.isCheckingPassword = 1;
    Send(WM_KEYDOWN);
    Send(WM_LBUTTONDOWN);
    EXPECT_FALSE(TakePostedClose(window));
}

TEST_F(HostTest, MouseMustMoveMoreThanFourPixelsFromTheRecordedPosition)
{
    MakeWindow(false);
    POINT now = {};
    ASSERT_TRUE(GetCursorPos(&now));

    saverHost.lastCursorPos = {now.x - 2, now.y + 2};
    Send(WM_MOUSEMOVE);
    EXPECT_FALSE(TakePostedClose(window));
    EXPECT_EQ(saverHost.lastCursorPos.x, now.x - 2) << "a small move keeps the recorded position";

    saverHost.lastCursorPos = {now.x + 3, now.y - 2};
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(TakePostedClose(window));
    EXPECT_EQ(saverHost.lastCursorPos.x, now.x);
    EXPECT_EQ(saverHost.lastCursorPos.y, now.y);
}

TEST_F(HostTest, CloseDestroysAtOnceOnOtherPlatforms)
{
    MakeWindow(false);
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(saverHost.isClosing, 0);
    EXPECT_TRUE(runningFlagCalls.empty());
}

TEST_F(HostTest, VerifyRequestAnswersOnlyOnWindows9x)
{
    MakeWindow(false);
    EXPECT_EQ(Send(kSaverVerifyPasswordMessage), 0);
    SetSaverPlatformForTesting(1);
    EXPECT_EQ(Send(kSaverVerifyPasswordMessage), 1) << "no verifier: closing is allowed";
}

TEST_F(HostTest, Windows9xWithoutVerifierClosesAtTheFirstRequest)
{
    SetSaverPlatformForTesting(1);
    MakeWindow(false);
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(saverHost.isClosing, 1);
    EXPECT_TRUE(runningFlagCalls.empty());
}

// The verifier is the test PASSWORD.CPL beside this program.
class PasswordHostTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        HKEY desktop = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop), ERROR_SUCCESS);
        DWORD size = sizeof savedValue;
        hadValue = RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&savedValue), &size) == ERROR_SUCCESS;
        const DWORD on = 1;
        RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                       sizeof on);
        RegCloseKey(desktop);
        SetSaverPlatformForTesting(1);
    }
    void TearDown() override
    {
        HostTest::TearDown();
        HKEY desktop = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) == ERROR_SUCCESS) {
            if (hadValue)
                RegSetValueExA(desktop, "ScreenSaveUsePassword", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&savedValue), sizeof savedValue);
            else
                RegDeleteValueA(desktop, "ScreenSaveUsePassword");
            RegCloseKey(desktop);
        }
    }

    void LoadVerifier(int answer, DWORD askMs = 0)
    {
        LoadPasswordVerifier();
        ASSERT_NE(saverHost.verifyPassword, nullptr);
        using SetAnswer = void (WINAPI*)(int, DWORD);
        const auto set = reinterpret_cast<SetAnswer>(
            reinterpret_cast<void*>(GetProcAddress(saverHost.passwordModule, "SetVerifierAnswer")));
        ASSERT_NE(set, nullptr);
        set(answer, askMs);
    }

    int VerifierCalls()
    {
        using GetCount = int (WINAPI*)();
        const auto get = reinterpret_cast<GetCount>(
            reinterpret_cast<void*>(GetProcAddress(saverHost.passwordModule, "GetVerifierCallCount")));
        return get != nullptr ? get() : -1;
    }

    DWORD savedValue = 0;
    bool hadValue = false;
};

TEST_F(PasswordHostTest, LoadingSwitchesTheRunningFlagOnAndUnloadingOff)
{
    LoadPasswordVerifier();
    EXPECT_NE(saverHost.passwordModule, nullptr);
    EXPECT_EQ(runningFlagCalls, std::vector<int>{1});
    LoadPasswordVerifier();
    EXPECT_EQ(runningFlagCalls, (std::vector<int>{1, 0, 1})) << "a loaded verifier is unloaded first";
    UnloadPasswordVerifier();
    EXPECT_EQ(saverHost.passwordModule, nullptr);
    EXPECT_EQ(saverHost.verifyPassword, nullptr);
    EXPECT_EQ(runningFlagCalls, (std::vector<int>{1, 0, 1, 0}));
    UnloadPasswordVerifier();
    EXPECT_EQ(runningFlagCalls.size(), 4u);
}

TEST_F(PasswordHostTest, NothingIsLoadedOnOtherPlatforms)
{
    SetSaverPlatformForTesting(0);
    LoadPasswordVerifier();
    EXPECT_EQ(saverHost.passwordModule, nullptr);
    EXPECT_TRUE(runningFlagCalls.empty());
}

TEST_F(PasswordHostTest, ModuleWithoutTheEntryIsFreedAgain)
{
    SetSaverModuleNamesForTesting("KERNEL32.DLL", nullptr);
    LoadPasswordVerifier();
    EXPECT_EQ(saverHost.passwordModule, nullptr);
    EXPECT_EQ(saverHost.verifyPassword, nullptr);
    EXPECT_TRUE(runningFlagCalls.empty());
}

TEST_F(PasswordHostTest, WrongAnswerRefusesAndThrottlesRightAnswerCloses)
{
    MakeWindow(false);
    LoadVerifier(0);
    EXPECT_EQ(ConfirmSaverClose(window), 0);
    EXPECT_EQ(VerifierCalls(), 1);
    EXPECT_NE(saverHost.lastPasswordCheckTick, kSaverNoPasswordCheck);
    EXPECT_EQ(saverHost.isCheckingPassword, 0);

    EXPECT_EQ(ConfirmSaverClose(window), 0);
    EXPECT_EQ(VerifierCalls(), 1) << "within 200 ms nobody is asked";

    LoadVerifier(1);  // a fresh verifier module: its count starts again
    const DWORD checked = GetTickCount();
    saverHost.lastPasswordCheckTick = checked;
    EXPECT_EQ(ConfirmSaverClose(window), 0);
    Sleep(kSaverPasswordRecheckMs + 20);
    EXPECT_EQ(ConfirmSaverClose(window), 1);
    EXPECT_EQ(VerifierCalls(), 1);
    EXPECT_EQ(saverHost.isClosing, 1);
    EXPECT_EQ(ConfirmSaverClose(window), 0) << "closing is decided once";
}

TEST_F(PasswordHostTest, FirstRequestAndTickWraparoundAreNotThrottled)
{
    MakeWindow(false);
    LoadVerifier(0);
    saverHost.lastPasswordCheckTick = kSaverNoPasswordCheck;
    ConfirmSaverClose(window);
    EXPECT_EQ(VerifierCalls(), 1);
    // A check "in the future" wraps to a huge distance in unsigned arithmetic.
    saverHost.lastPasswordCheckTick = GetTickCount() + 1000;
    ConfirmSaverClose(window);
    EXPECT_EQ(VerifierCalls(), 2);
}

TEST_F(PasswordHostTest, AtMostTwoQueuedTimerTicksAreDropped)
{
    MakeWindow(false);
    LoadVerifier(0);
    for (int i = 0; i < 3; ++i)
        PostMessageA(window, WM_TIMER, 7, 0);
    ConfirmSaverClose(window);
    MSG message;
    int left = 0;
    while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++left;
    EXPECT_EQ(left, 1);
}

TEST_F(PasswordHostTest, DuringTheCheckTimersDrawAndNothingElseCloses)
{
    MakeWindow(false);
    LoadVerifier(0, 150);
    SetTimer(window, 3, 10, nullptr);
    int timersDuringCheck = 0;
    int nestedResult = -1;
    onSaverMessage = [&](HWND w, UINT message, WPARAM, LPARAM) {
        if (message == kSaverVerifyPasswordMessage) {
            EXPECT_EQ(saverHost.isCheckingPassword, 1);
            nestedResult = ConfirmSaverClose(w);
            PostMessageA(w, WM_KEYDOWN, VK_SPACE, 0);
        }
        if (message == WM_TIMER && saverHost.isCheckingPassword)
            ++timersDuringCheck;
    };
    EXPECT_EQ(ConfirmSaverClose(window), 0);
    KillTimer(window, 3);
    EXPECT_EQ(nestedResult, 0) << "a close request during the check is refused";
    EXPECT_GT(timersDuringCheck, 0) << "the saver keeps drawing behind the verifier";
    EXPECT_FALSE(TakePostedClose(window)) << "input during the check asks nothing";
    EXPECT_EQ(VerifierCalls(), 1);
}

TEST_F(PasswordHostTest, RefusedCloseKeepsTheWindowAndTakesTheCursorPositionAnew)
{
    MakeWindow(false);
    LoadVerifier(0);
    saverHost.lastCursorPos = {-1000, -1000};
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(IsWindow(window));
    POINT now = {};
    GetCursorPos(&now);
    EXPECT_EQ(saverHost.lastCursorPos.x, now.x);
    EXPECT_EQ(saverHost.lastCursorPos.y, now.y);
}

TEST_F(PasswordHostTest, ExistingFullScreenWindowEndsTheStartWithoutTheVerifier)
{
    WNDCLASSA other = {};
    other.lpfnWndProc = DefWindowProcA;
    other.hInstance = GetModuleHandleA(nullptr);
    other.lpszClassName = "WindowsScreenSaverClass";
    ASSERT_TRUE(RegisterClassA(&other));
    const HWND existing = CreateWindowExA(0, "WindowsScreenSaverClass", "Screen Saver", WS_POPUP, 0, 0, 10, 10,
                                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(existing, nullptr);
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    EXPECT_TRUE(runningFlagCalls.empty());
    EXPECT_EQ(saverHost.saverWindow, nullptr);
    DestroyWindow(existing);
}

TEST_F(PasswordHostTest, WindowThatCannotBeMadeEndsWithFailureAndTheFlagOff)
{
    // A class of the same name (and no full-screen window) makes the
    // registration fail.
    WNDCLASSA other = {};
    other.lpfnWndProc = DefWindowProcA;
    other.hInstance = GetModuleHandleA(nullptr);
    other.lpszClassName = "WindowsScreenSaverClass";
    ASSERT_TRUE(RegisterClassA(&other));
    EXPECT_EQ(RunSaverWindow(nullptr), kSaverWindowFailedResult);
    EXPECT_EQ(runningFlagCalls, (std::vector<int>{1, 0}));
    EXPECT_EQ(saverHost.passwordModule, nullptr);
}

TEST_F(PasswordHostTest, FullScreenRunAsksUntilTheRightAnswer)
{
    int timers = 0;
    onSaverMessage = [&](HWND w, UINT message, WPARAM, LPARAM) {
        if (message == WM_CREATE) {
            EXPECT_EQ(runningFlagCalls, std::vector<int>{1}) << "the flag is on before the window exists";
            SetTimer(w, 1, 10, nullptr);
        }
        if (message == WM_TIMER && ++timers == 2) {
            PostMessageA(w, WM_KEYDOWN, VK_SPACE, 0);  // refused: the answer is wrong
        }
        if (message == WM_TIMER && timers == 40) {
            reinterpret_cast<void (WINAPI*)(int, DWORD)>(reinterpret_cast<void*>(
                GetProcAddress(saverHost.passwordModule, "SetVerifierAnswer")))(1, 0);
            PostMessageA(w, WM_KEYDOWN, VK_SPACE, 0);
        }
        if (message == WM_DESTROY)
            KillTimer(w, 1);
    };
    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    EXPECT_GE(timers, 40);
    EXPECT_EQ(runningFlagCalls, (std::vector<int>{1, 0}));
    EXPECT_EQ(saverHost.passwordModule, nullptr);
}

TEST_F(HostTest, SaverThatCannotBuildItsStateGetsNoWindow)
{
    throwAtCreate = true;
    EXPECT_EQ(RunSaverWindow(nullptr), kSaverWindowFailedResult);
}

TEST_F(HostTest, ExceptionInAMessageGivesTheDefaultResult)
{
    MakeWindow(false);
    throwAtTimer = true;
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(HostTest, SettingsModeResults)
{
    EXPECT_EQ(ShowSaverSettings(nullptr), 1) << "the dialog ends with OK";
    registerControlsResult = 0;
    EXPECT_EQ(ShowSaverSettings(nullptr), 0);
    registerControlsResult = 1;
    throwInRegisterControls = true;
    EXPECT_EQ(ShowSaverSettings(nullptr), 0);
    throwInRegisterControls = false;
    throwInDialog = true;
    EXPECT_EQ(ShowSaverSettings(nullptr), -1);
}

TEST_F(HostTest, DispatchRefusesBadTailsAndHandles)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const char* tail : {"/x", "/\ts", "/p", "/p 0", "/p:12", "/a", "/a 1"})
        EXPECT_EQ(SaverDispatch(instance, tail), -1) << tail;
    EXPECT_EQ(saverHost.instance, instance);
}

} // namespace
