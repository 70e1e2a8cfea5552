// What the terrain saver's Windows tests share: a window of the saver's kind
// (its class keeps a private device context) and pixel comparisons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/win32/window_pixels.h"

// A top-most popup whose client area is width x height, of a class with a
// private device context and a black background, run by `procedure`.
inline HWND CreateOwnDcWindow(int width, int height, WNDPROC procedure = DefWindowProcA)
{
    // One class per procedure: the name carries the procedure's address.
    const std::string name = "TerrainTestOwnDc" + std::to_string(reinterpret_cast<std::uintptr_t>(procedure));
    HWND window = CreateTopmostPopup(name.c_str(), procedure, width, height, CS_OWNDC);
    UpdateWindow(window);
    PumpMessages();
    return window;
}

// The share of pixels that are equal in both pictures (1 for none at all).
inline double EqualShare(const std::vector<std::uint32_t>& shown, const std::vector<std::uint32_t>& expected)
{
    if (expected.empty()) return 1.0;
    if (shown.size() != expected.size()) return 0.0;
    std::size_t equal = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) equal += shown[i] == expected[i] ? 1 : 0;
    return static_cast<double>(equal) / static_cast<double>(expected.size());
}
