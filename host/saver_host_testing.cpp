// The stand-ins test programs give the host, as one system record of their
// own that the host runs on once any is given.
#include "host/saver_host_testing.h"

#include "host/saver_host_state.h"

namespace {

SaverHostSystem testSystem = kSaverHostSystem;
int platformOverride = -1;
SaverRunningFlagObserver runningFlagObserver = nullptr;

int DetectTestPlatform() { return platformOverride >= 0 ? platformOverride : kSaverHostSystem.detectWin9x(); }

void SetObservedRunningFlag(int on)
{
    kSaverHostSystem.setRunningFlag(on);
    if (runningFlagObserver != nullptr) runningFlagObserver(on);
}

SaverHostSystem& TestSystem()
{
    testSystem.detectWin9x = &DetectTestPlatform;
    testSystem.setRunningFlag = &SetObservedRunningFlag;
    saverHost.system = &testSystem;
    return testSystem;
}

} // namespace

void SetSaverPlatformForTesting(int isWin9x)
{
    TestSystem();
    platformOverride = isWin9x < 0 ? -1 : (isWin9x ? 1 : 0);
    if (platformOverride >= 0) saverHost.isWin9x = platformOverride;
}

void SetSaverModuleNamesForTesting(const char* passwordName, const char* changeName)
{
    SaverHostSystem& system = TestSystem();
    system.passwordModuleName = passwordName != nullptr ? passwordName : kSaverHostSystem.passwordModuleName;
    system.changeModuleName = changeName != nullptr ? changeName : kSaverHostSystem.changeModuleName;
}

void SetSaverRunningFlagObserverForTesting(SaverRunningFlagObserver observer)
{
    TestSystem();
    runningFlagObserver = observer;
}

void SetSaverTickSourceForTesting(DWORD (WINAPI* source)()) { TestSystem().tickCount = source != nullptr ? source : kSaverHostSystem.tickCount; }

void SetSaverPaletteMakerForTesting(HPALETTE (WINAPI* make)(const LOGPALETTE*))
{
    TestSystem().createPalette = make != nullptr ? make : kSaverHostSystem.createPalette;
}

void SetSaverPaletteDisplayForTesting(int paletteDisplay) { TestSystem().paletteDisplay = paletteDisplay < 0 ? -1 : paletteDisplay != 0 ? 1 : 0; }

void SetSaverPauseForTesting(StepPause* pause) { TestSystem().pause = pause; }

void ResetSaverHostStateForTesting()
{
    const int isWin9x = saverHost.isWin9x;
    saverHost = StartingSaverHostState(saverHost.system);
    saverHost.isWin9x = isWin9x;
}
