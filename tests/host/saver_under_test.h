// Which saver program the end-to-end tests drive, and small helpers they share.
#pragma once

#include "tests/host/saver_process.h"

#include <windows.h>

#include <string>

// The program under test: --saver=PATH on the test's command line, else the
// environment variable HOST_SAVER_UNDER_TEST, else host_probe.scr beside the
// test program.
const std::string& SaverUnderTest();
void SetSaverUnderTest(const std::string& path);

// True when the program under test is the probe saver, whose line log and
// test switches some tests need.
bool IsProbeUnderTest();

constexpr DWORD kStartTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 10000;

// A plain top-level window of the test process, for preview parents, dialog
// owners and for taking activation away from a saver. It records the last
// WM_HELP and WM_CONTEXTMENU it received.
class TestWindow {
public:
    TestWindow(int clientWidth, int clientHeight);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return window_; }
    std::string HandleText() const;
    // Makes this window the foreground window; true once it is.
    bool BringToFront();

    UINT lastForwarded = 0;
    WPARAM lastForwardedWParam = 0;
    LPARAM lastForwardedLParam = 0;
    int forwardedCount = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

// Moves the real pointer there; true once the system reports it there.
bool MoveCursorTo(int x, int y);

// Presses and releases a key, or a mouse button, through the system's input.
void SendKeyPress(WORD virtualKey);
void SendMouseButton(DWORD downFlag, DWORD upFlag);
