#include "tests/host/saver_under_test.h"

#include <cstdlib>

namespace {

std::string& SaverPath()
{
    static std::string path;
    return path;
}

std::string ProgramDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    const size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

const char kTestWindowClass[] = "HostTestWindow";

} // namespace

const std::string& SaverUnderTest()
{
    std::string& path = SaverPath();
    if (path.empty()) {
        const char* fromEnvironment = std::getenv("HOST_SAVER_UNDER_TEST");
        path = fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                       : ProgramDirectory() + "host_probe.scr";
    }
    return path;
}

void SetSaverUnderTest(const std::string& path)
{
    SaverPath() = path;
}

bool IsProbeUnderTest()
{
    const std::string& path = SaverUnderTest();
    const size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return lstrcmpiA(name.c_str(), "host_probe.scr") == 0;
}

TestWindow::TestWindow(int clientWidth, int clientHeight)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTestWindowClass;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowExA(0, kTestWindowClass, "Host test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              40, 40, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
    PumpUntil([] { return false; }, 50);
}

TestWindow::~TestWindow()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
}

std::string TestWindow::HandleText() const
{
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window_)));
}

bool TestWindow::BringToFront()
{
    SetForegroundWindow(window_);
    return PumpUntil([&] { return GetForegroundWindow() == window_; }, 3000);
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (message == WM_HELP || message == WM_CONTEXTMENU)) {
        self->lastForwarded = message;
        self->lastForwardedWParam = wParam;
        self->lastForwardedLParam = lParam;
        ++self->forwardedCount;
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void SendKeyPress(WORD virtualKey)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void SendMouseButton(DWORD downFlag, DWORD upFlag)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = downFlag;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = upFlag;
    SendInput(2, inputs, sizeof(INPUT));
}

bool MoveCursorTo(int x, int y)
{
    // Under Wine a process moves the real pointer only once it has a window
    // of its own; a hidden one is enough.
    static const HWND anchor = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    (void)anchor;
    SetCursorPos(x, y);
    return PumpUntil([&] {
        POINT cursor = {};
        GetCursorPos(&cursor);
        return cursor.x == x && cursor.y == y;
    }, 2000);
}
