// The saver window: its class, the message loop, the host's window procedure
// and the dismissal rules of DefaultSaverProc.
#include "host/saver_host_state.h"

#include <cstdlib>
#include <vector>

#include "common/win32/floating_point.h"
#include "common/win32/platform.h"

namespace {

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";

LRESULT CallSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Whatever another module in the process did to the floating-point
    // control word, the saver computes in the state its pictures assume.
    HoldSaverFloatingPoint();
    try {
        return ScreenSaverProc(window, message, wParam, lParam);
    } catch (...) {
        // A saver that cannot build its state refuses the window; any other
        // message it failed on gets the platform's default.
        if (message == WM_CREATE)
            return -1;
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Input-method composition has no place in a saver window, so the context is
// detached while the window lives. IMM32 is used only when the process has it
// loaded already; the host never loads it.
void DetachInputContext(HWND window)
{
    saverHost.imeModule = GetModuleHandleA("IMM32.DLL");
    if (saverHost.imeModule == nullptr)
        return;
    saverHost.associateContext = LookUpProcedure<SaverAssociateContextFunction>(saverHost.imeModule, "ImmAssociateContext");
    if (saverHost.associateContext != nullptr)
        saverHost.savedInputContext = saverHost.associateContext(window, nullptr);
}

void ReattachInputContext(HWND window)
{
    if (saverHost.imeModule != nullptr && saverHost.associateContext != nullptr &&
        saverHost.savedInputContext != nullptr)
        saverHost.associateContext(window, saverHost.savedInputContext);
}

// The number (see GetSaverWindowNumber) of the window CreateWindowExA is
// making; its WM_CREATE records the window under it, so the saver can ask
// already while it builds its state.
int creatingWindowNumber = 0;

bool IsPrimarySaverWindow(HWND window) { return window == saverHost.saverWindow; }

void OnSaverCreate(HWND window)
{
    if (creatingWindowNumber == 0) {
        saverHost.saverWindow = window;
        DetachInputContext(window);
        GetCursorPos(&saverHost.lastCursorPos);
    } else {
        const std::size_t slot = static_cast<std::size_t>(creatingWindowNumber);
        if (saverHost.monitorWindows.size() < slot) saverHost.monitorWindows.resize(slot, nullptr);
        saverHost.monitorWindows[slot - 1] = window;
    }
    if (!saverHost.isPreview)
        SetCursor(nullptr);
}

// The other monitors' windows are owned by the primary's and go with it; the
// run ends with the primary's. Called after the saver has seen WM_DESTROY, so
// the window keeps its number while the saver frees what belongs to it.
void OnSaverDestroy(HWND window)
{
    if (!IsPrimarySaverWindow(window)) {
        for (HWND& other : saverHost.monitorWindows) {
            if (other == window) other = nullptr;
        }
        return;
    }
    ReattachInputContext(window);
    PostQuitMessage(0);
}

// Help and context-menu requests in the preview belong to the window that
// shows it; the parent learns it was asked through its own handle in wParam.
// WM_HELP carries a pointer, and the system refuses to post such a message;
// it is then sent instead, with a time limit so a hung parent cannot stop the
// preview.
LRESULT ForwardToPreviewParent(HWND window, UINT message, LPARAM lParam)
{
    const HWND parent = GetParent(window);
    if (parent == nullptr || !IsWindow(parent))
        return 1;
    const WPARAM parentHandle = reinterpret_cast<WPARAM>(parent);
    if (!PostMessageA(parent, message, parentHandle, lParam) && message == WM_HELP) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(parent, message, parentHandle, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, 1000,
                            &ignored);
    }
    return 1;
}

bool IsRefusedSystemCommand(WPARAM command)
{
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE;
}

// A close is always the primary window's to decide, whichever monitor's
// window the input came to.
void RequestSaverClose(HWND window)
{
    PostMessageA(saverHost.saverWindow != nullptr ? saverHost.saverWindow : window, WM_CLOSE, 0, 0);
}

// The monitors of the virtual screen, the primary first, each as the
// rectangle it covers. EnumDisplayMonitors and GetMonitorInfoA are looked up:
// Windows 95 and NT 4 have neither, and show one screen; their headers' types
// are not in the headers of those systems either, so their shapes are here.
struct SaverMonitorInfo {
    DWORD size;
    RECT monitor;
    RECT work;
    DWORD flags;
};
constexpr DWORD kPrimaryMonitorFlag = 0x00000001; // MONITORINFOF_PRIMARY
using SaverMonitorHandle = void*;
using MonitorInfoFunction = BOOL(WINAPI*)(SaverMonitorHandle, SaverMonitorInfo*);
using MonitorCallback = BOOL(CALLBACK*)(SaverMonitorHandle, HDC, RECT*, LPARAM);
using EnumMonitorsFunction = BOOL(WINAPI*)(HDC, const RECT*, MonitorCallback, LPARAM);

struct MonitorSearch {
    std::vector<RECT> monitors;
    MonitorInfoFunction getMonitorInfo = nullptr;
};

BOOL CALLBACK AddSaverMonitor(SaverMonitorHandle monitor, HDC, RECT*, LPARAM data)
{
    auto& search = *reinterpret_cast<MonitorSearch*>(data);
    SaverMonitorInfo info{};
    info.size = sizeof info;
    if (!search.getMonitorInfo(monitor, &info) || info.monitor.right <= info.monitor.left || info.monitor.bottom <= info.monitor.top)
        return TRUE;
    try {
        if ((info.flags & kPrimaryMonitorFlag) != 0)
            search.monitors.insert(search.monitors.begin(), info.monitor);
        else
            search.monitors.push_back(info.monitor);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

std::vector<RECT> FindSaverMonitors()
{
    const HMODULE user = GetModuleHandleA("USER32.DLL");
    const auto enumMonitors = LookUpProcedure<EnumMonitorsFunction>(user, "EnumDisplayMonitors");
    MonitorSearch search;
    search.getMonitorInfo = LookUpProcedure<MonitorInfoFunction>(user, "GetMonitorInfoA");
    if (enumMonitors == nullptr || search.getMonitorInfo == nullptr)
        return {};
    if (!enumMonitors(nullptr, nullptr, AddSaverMonitor, reinterpret_cast<LPARAM>(&search)) || search.monitors.size() < 2)
        return {};
    return search.monitors;
}

// Whether the cursor at `now` lies more than the threshold (horizontal plus
// vertical distance) from the position movement is measured against.
bool IsCursorPastThreshold(POINT now)
{
    const long long dx = std::llabs(static_cast<long long>(now.x) - saverHost.lastCursorPos.x);
    const long long dy = std::llabs(static_cast<long long>(now.y) - saverHost.lastCursorPos.y);
    return static_cast<unsigned long long>(dx + dy) > saverHost.mouseThreshold;
}

// Only a real cursor movement counts, never the number of mouse messages: a
// move message arrives also when the window is first shown.
void OnSaverMouseMove(HWND window)
{
    POINT now = saverHost.lastCursorPos;
    GetCursorPos(&now);
    if (IsCursorPastThreshold(now)) {
        RequestSaverClose(window);
        saverHost.lastCursorPos = now;
    }
}

LRESULT OnSaverCloseRequest(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!saverHost.isWin9x)
        return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    if (ConfirmSaverClose(window))
        return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    // Refused: the mouse must move away from where it stands now to ask again.
    GetCursorPos(&saverHost.lastCursorPos);
    return 0;
}

LRESULT OnVerifyPasswordRequest(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!saverHost.isWin9x)
        return DefWindowProcA(window, kSaverVerifyPasswordMessage, wParam, lParam);
    if (saverHost.verifyPassword == nullptr)
        return 1;
    return saverHost.verifyPassword(window);
}

// The class of every saver window; false when it cannot be registered.
bool RegisterSaverClass()
{
    WNDCLASSA saverClass = {};
    saverClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    saverClass.lpfnWndProc = SaverHostWindowProc;
    saverClass.hInstance = saverHost.instance;
    saverClass.hIcon = LoadIconA(saverHost.instance, MAKEINTRESOURCEA(100));
    saverClass.hCursor = nullptr;
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&saverClass) != 0;
}

// One full-screen saver on this host at a time, whichever program owns it:
// a second start only brings the running one to the front.
bool BringRunningSaverForward()
{
    const HWND existing = FindWindowA(kSaverClassName, kFullScreenTitle);
    if (existing == nullptr || !IsWindow(existing))
        return false;
    SetForegroundWindow(existing);
    return true;
}

// The preview's window inside the parent, or the primary monitor's window
// and, on several monitors, one for each of the others at its place in the
// virtual screen, owned by the primary's; one that cannot be made leaves
// that monitor as it is. False when the first window cannot be made (once
// it was made, its destruction posts the message that ends the loop).
bool CreateSaverWindows(HWND parent)
{
    creatingWindowNumber = 0;
    if (parent != nullptr) {
        RECT client = {};
        GetClientRect(parent, &client);
        saverHost.saverWindow = CreateWindowExA(0, kSaverClassName, kPreviewTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                                client.right, client.bottom, parent, nullptr, saverHost.instance, nullptr);
        return saverHost.saverWindow != nullptr;
    }
    const DWORD extendedStyle = WS_EX_TOPMOST;
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    saverHost.saverWindow = CreateWindowExA(extendedStyle, kSaverClassName, kFullScreenTitle, style, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                            GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, saverHost.instance, nullptr);
    if (saverHost.saverWindow == nullptr)
        return false;
    const std::vector<RECT> monitors = FindSaverMonitors();
    for (std::size_t i = 1; i < monitors.size() && saverHost.saverWindow != nullptr; ++i) {
        const RECT& area = monitors[i];
        creatingWindowNumber = static_cast<int>(i);
        CreateWindowExA(extendedStyle, kSaverClassName, kFullScreenTitle, style, area.left, area.top, area.right - area.left,
                        area.bottom - area.top, saverHost.saverWindow, nullptr, saverHost.instance, nullptr);
    }
    creatingWindowNumber = 0;
    if (saverHost.saverWindow != nullptr)
        SetForegroundWindow(saverHost.saverWindow);
    return true;
}

// Until the quit message the primary window's destruction posts: its value,
// or kSaverWindowFailedResult when the queue fails.
int RunSaverMessageLoop()
{
    MSG message = {};
    BOOL got;
    // GetMessageA gives -1 on an error; the loop must not spin on it.
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : kSaverWindowFailedResult;
}

} // namespace

int RunSaverWindow(HWND parent)
{
    if (parent != nullptr) {
        saverHost.isPreview = 1;
    } else {
        if (BringRunningSaverForward())
            return 0;
        LoadPasswordVerifier();
    }
    const int result = RegisterSaverClass() && CreateSaverWindows(parent) ? RunSaverMessageLoop() : kSaverWindowFailedResult;
    UnloadPasswordVerifier();
    return result;
}

LRESULT CALLBACK SaverHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnSaverCreate(window);
        break;
    case WM_DESTROY: {
        const LRESULT result = CallSaverProc(window, message, wParam, lParam);
        OnSaverDestroy(window);
        return result;
    }
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (saverHost.isClosing)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!saverHost.isPreview)
            SetCursor(nullptr);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (saverHost.isPreview)
            return ForwardToPreviewParent(window, message, lParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (saverHost.isClosing)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (!saverHost.isPreview && IsRefusedSystemCommand(wParam))
            return 0;
        break;
    case WM_TIMER:
        if (saverHost.isClosing)
            return 0;
        Sleep(0);
        break;
    default:
        break;
    }
    return CallSaverProc(window, message, wParam, lParam);
}

int GetSaverWindowNumber(HWND window)
{
    if (window == nullptr)
        return -1;
    if (window == saverHost.saverWindow)
        return 0;
    for (std::size_t i = 0; i < saverHost.monitorWindows.size(); ++i) {
        if (saverHost.monitorWindows[i] == window)
            return static_cast<int>(i + 1);
    }
    return -1;
}

LRESULT WINAPI DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (saverHost.isPreview)
        return DefWindowProcA(window, message, wParam, lParam);
    // Another monitor's window closes only with the primary's.
    if (message == WM_CLOSE && !IsPrimarySaverWindow(window) && saverHost.saverWindow != nullptr) {
        if (!saverHost.isClosing)
            RequestSaverClose(window);
        return 0;
    }
    if (saverHost.isClosing)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CLOSE)
        return OnSaverCloseRequest(window, wParam, lParam);
    if (message == kSaverVerifyPasswordMessage)
        return OnVerifyPasswordRequest(window, wParam, lParam);
    // While the verifier asks, input is the verifier's business.
    if (saverHost.isCheckingPassword)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0)
            SetCursor(nullptr);
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            RequestSaverClose(window);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        RequestSaverClose(window);
        break;
    case WM_MOUSEMOVE:
        OnSaverMouseMove(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShouldSaverStepGiveWay()
{
    // The queue is looked at, never read: a peek, even one that leaves the
    // messages where they are, delivers the messages other threads have sent
    // to the window procedures, and would so re-enter the saver while the
    // step uses its state. Asking for every kind also marks what waits now
    // as seen, so a wait on the queue afterwards wakes only for what is new.
    const DWORD waiting = HIWORD(GetQueueStatus(QS_ALLINPUT));
    // Another thread waits for an answer: the preview's parent being
    // destroyed, a system-wide broadcast, the activation moving to another
    // application.
    if ((waiting & QS_SENDMESSAGE) != 0 || saverHost.isClosing)
        return 1;
    if (saverHost.isPreview)
        return 0;
    // The verifier's dialog runs on this thread and is being typed into.
    if (saverHost.isCheckingPassword)
        return (waiting & (QS_KEY | QS_MOUSEBUTTON)) != 0 ? 1 : 0;
    // A key or a button: the step cannot tell a press from a release without
    // taking the message, and a press comes first.
    if ((waiting & (QS_KEY | QS_MOUSEBUTTON)) != 0)
        return 1;
    POINT now = saverHost.lastCursorPos;
    if (GetCursorPos(&now) && IsCursorPastThreshold(now))
        return 1;
    // Activation already with a window of another thread, whether or not the
    // message telling so has reached this queue yet.
    const HWND foreground = GetForegroundWindow();
    if (foreground != nullptr && GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId())
        return 1;
    return 0;
}
