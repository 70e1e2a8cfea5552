// Runs the saver linked into a test program as the host runs it for
// "/p <parent>": through the host's entry and message loop, as a child of a
// window of the test, until the test closes it as the display settings do
// (WM_CLOSE to the preview). Each run starts as in a fresh process: no window
// class, the host's start values.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "host/saver_host_state.h"
#include "host/saver_host_testing.h"

namespace preview_run {

// Called on each timer tick of the parent (every 10 ms or so) once the
// preview exists, with the preview window; returns false to close it.
using ParentTick = std::function<bool(HWND preview)>;

// What RunPreview gives when the tick threw: the preview was closed.
constexpr int kTickThrew = -100;

inline ParentTick*& CurrentTick()
{
    static ParentTick* tick = nullptr;
    return tick;
}

inline bool& TickThrew()
{
    static bool threw = false;
    return threw;
}

inline LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == 1) {
        const HWND preview = saverHost.saverWindow;
        ParentTick* tick = CurrentTick();
        if (preview != nullptr && IsWindow(preview) && tick != nullptr) {
            bool goOn = false;
            try {
                goOn = (*tick)(preview);
            } catch (...) {
                TickThrew() = true; // nothing crosses the window procedure
            }
            if (!goOn) {
                CurrentTick() = nullptr;
                PostMessageA(preview, WM_CLOSE, 0, 0);
            }
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A visible top-level window whose client area is width x height, to hold
// previews.
inline HWND CreateParent(int width, int height)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ParentProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "PreviewRunParent";
    RegisterClassA(&windowClass); // fails harmlessly once registered
    const HWND parent = CreateWindowExA(0, "PreviewRunParent", "preview parent", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (parent != nullptr) UpdateWindow(parent);
    return parent;
}

// Runs one preview in `parent` through the host's entry with the command
// tail "/p <parent>"; returns the entry's result (0 when the preview closed),
// or kTickThrew.
inline int RunPreview(HWND parent, ParentTick tick)
{
    ResetSaverHostStateForTesting();
    UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
    CurrentTick() = &tick;
    TickThrew() = false;
    SetTimer(parent, 1, 10, nullptr);
    const std::string tail = "/p " + std::to_string(reinterpret_cast<ULONG_PTR>(parent));
    const int result = SaverDispatch(GetModuleHandleA(nullptr), tail.c_str());
    KillTimer(parent, 1);
    CurrentTick() = nullptr;
    MSG message;
    while (PeekMessageA(&message, parent, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    return TickThrew() ? kTickThrew : result;
}

// A tick that sends `frames` timer messages to the preview (any timer
// identifier draws) at the first parent tick, then closes it.
inline ParentTick SendFramesThenClose(int frames)
{
    return [frames](HWND preview) {
        for (int n = 0; n < frames; ++n) SendMessageA(preview, WM_TIMER, 7, 0);
        return false;
    };
}

} // namespace preview_run
