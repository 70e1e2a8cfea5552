// The relief saver's window: the host's window skeleton over the relief
// saver's life, each window starting from its picture of the desktop.
#include "relief_window.h"

#include <cstdint>
#include <vector>

#include "common/win32/profile_settings_store.h"
#include "common/win32/screen_copy.h"
#include "host/saver_host.h"
#include "relief/relief_life.h"
#include "relief_capture.h"

ReliefSettings gReliefSettings;

namespace {

// Full screen on several monitors: the picture of the whole desktop, taken
// once, when the first window is made, and cut for each window as it is
// made; dropped at the first frame, when every window has its own.
std::vector<std::uint8_t> gDesktopPicture;
DesktopArea gDesktopArea;
// This start's helper succeeded, so on Windows NT the snapshot file holds
// the picture.
bool gSnapshotFresh = false;

// The picture a window turns into its height field. The helper runs once per
// run, for the first window (on several monitors its picture holds them
// all). Windows 95/98 copy the screen, never reading a snapshot: the helper
// is not started there, as the command shell it once went through was not
// there to start it, and no picture of the desktop is left on disk. A window
// on one of several monitors takes its part of the whole desktop's picture,
// which the first window of the run takes; any other window, as designed,
// the picture at its own size.
std::vector<std::uint8_t> TakeReliefDesktopPicture(HWND window, int clientWidth, int clientHeight)
{
    const int number = GetSaverWindowNumber(window);
    if (number <= 0) gSnapshotFresh = IsSaverOnWindows9x() == 0 && RunSnapProgram();
    const bool fromSnapshotFile = IsSaverOnWindows9x() == 0 && gSnapshotFresh;
    const int width = ReliefDimension(clientWidth);
    const int height = ReliefDimension(clientHeight);
    const DesktopArea desktop = GetDesktopArea();
    const bool onePrimaryScreen = desktop.left == 0 && desktop.top == 0 && desktop.width == width && desktop.height == height;
    const bool severalMonitors = IsSaverPreview() == 0 && number >= 0 && !onePrimaryScreen;
    if (!severalMonitors) return CaptureDesktopPicture(width, height, fromSnapshotFile);
    if (gDesktopPicture.empty()) {
        gDesktopArea = desktop;
        gDesktopPicture = CaptureDesktopPicture(gDesktopArea.width, gDesktopArea.height, fromSnapshotFile, gDesktopArea.left, gDesktopArea.top);
    }
    RECT area{};
    GetWindowRect(window, &area);
    return CutDesktopPicture(gDesktopPicture, gDesktopArea, area.left, area.top, width, height);
}

void DropReliefDesktopPicture()
{
    if (!gDesktopPicture.empty()) std::vector<std::uint8_t>().swap(gDesktopPicture);
}

const SaverWindowParts kReliefWindowParts = {&kReliefLife, &TakeReliefDesktopPicture, &DropReliefDesktopPicture};

} // namespace

void LoadReliefSettingsFromProfile()
{
    SaverSettingsStore store;
    gReliefSettings = LoadReliefSettings(store);
}

void SaveReliefSettingsToProfile()
{
    SaverSettingsStore store;
    SaveReliefSettings(store, gReliefSettings);
}

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DriveSaverWindow(kReliefWindowParts, window, message, wParam, lParam);
}
