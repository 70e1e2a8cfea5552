// Times how quickly the terrain saver ends when the user comes back inside a
// wipe, under Windows (or Wine), from outside the saver's process:
//  - full screen, for each wipe: a key pressed as soon as the wipe has made
//    its first pause (or, for the fizzle, its first step), to the process's
//    end; and with no wipes at all (Erase 0), a key 1.5 s into the run;
//  - the preview, inside the wipe with the most pauses for the preview's
//    size: the parent destroyed, how long DestroyWindow takes, and the
//    process's end.
//   wipe_key_timing [FIRST LAST] [--preview WIDTH HEIGHT] [--sleep-only]
// Run it on a display of the size to be timed (1920 x 1080 for the figures);
// the preview defaults to the display settings' 152 x 112. --sleep-only
// pauses as the saver did before its wipes gave way (sleeping, never asking
// the host), for comparison.
//
// The saver is this program started again as "--saver ERASE EVENTS [TAIL]":
// the terrain saver's window procedure on the host, run full screen ("/s") or
// as a preview ("/p HANDLE"), with its own settings file (Speed 5, the given
// Erase) and the wipes' pause wrapped so that it tells when a wipe is under
// way and whether the wipe was stopped.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "timing.h"
#include "headless/software_surface.h"
#include "common/win32/sleep_pause.h"
#include "host/saver_host_state.h"
#include "terrain/terrain_wipes.h"
#include "host/saver_host_testing.h"
#include "tests/host/saver_under_test.h"

namespace {

// The saver's own pause (waiting on the queue and the clock, asking the host
// whether to give way), made at the first wipe's first pause rather than at
// the start of its tick; it sets the "under way" event at its first use and
// the "stopped" event when the host made the wipe stop.
class WatchedPause : public StepPause {
public:
    WatchedPause(HANDLE underWay, HANDLE stopped, bool sleepOnly) : underWay_(underWay), stopped_(stopped), sleepOnly_(sleepOnly) {}
    void Pause(int milliseconds) override
    {
        Tell();
        Inner().Pause(milliseconds);
    }
    bool StopRequested() override
    {
        Tell();
        const bool stop = Inner().StopRequested();
        if (stop) SetEvent(stopped_);
        return stop;
    }

private:
    SleepPause& Inner()
    {
        if (!inner_) inner_ = sleepOnly_ ? std::make_unique<SleepPause>() : std::make_unique<SleepPause>(&ShouldSaverStepGiveWay, kSaverGiveWayQueueKinds);
        return *inner_;
    }
    void Tell()
    {
        if (told_) return;
        told_ = true;
        SetEvent(underWay_);
    }
    HANDLE underWay_, stopped_;
    bool sleepOnly_;
    bool told_ = false;
    std::unique_ptr<SleepPause> inner_;
};

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

int RunSaver(int erase, const std::string& events, bool sleepOnly, const std::string& tail)
{
    // The settings file beside this program, as the saver's beside it.
    std::string settings = ProgramPath();
    settings = settings.substr(0, settings.find_last_of('.') + 1) + "INI";
    WritePrivateProfileStringA("ScreenSaver.Kesmar", "Speed", "5", settings.c_str());
    WritePrivateProfileStringA("ScreenSaver.Kesmar", "Erase", std::to_string(erase).c_str(), settings.c_str());
    HANDLE underWay = OpenEventA(EVENT_MODIFY_STATE, FALSE, (events + "-under-way").c_str());
    HANDLE stopped = OpenEventA(EVENT_MODIFY_STATE, FALSE, (events + "-stopped").c_str());
    if (underWay == nullptr || stopped == nullptr) return 2;
    WatchedPause pause(underWay, stopped, sleepOnly);
    SetSaverPauseForTesting(&pause);
    return SaverDispatch(GetModuleHandleA(nullptr), tail.c_str());
}

bool gSleepOnly = false;

struct SaverRun {
    std::string events = "WipeKeyTiming-" + std::to_string(GetCurrentProcessId());
    HANDLE underWay = CreateEventA(nullptr, TRUE, FALSE, (events + "-under-way").c_str());
    HANDLE stopped = CreateEventA(nullptr, TRUE, FALSE, (events + "-stopped").c_str());
    SaverProcess saver;
    ~SaverRun()
    {
        saver.End();
        CloseHandle(underWay);
        CloseHandle(stopped);
    }
    bool Start(int erase, const std::string& tail)
    {
        SaverStart start;
        start.tail = "--saver " + std::to_string(erase) + " " + events + (gSleepOnly ? " sleep " : " give-way ") + tail;
        std::string error;
        if (saver.Start(ProgramPath(), start, &error)) return true;
        std::printf("cannot start the saver: %s\n", error.c_str());
        return false;
    }
    // Handles this thread's messages (a preview's parent must answer) until
    // the wipe is under way, or for `ms` without one.
    bool WaitUnderWay(DWORD ms)
    {
        return PumpUntil([&] { return WaitForSingleObject(underWay, 0) == WAIT_OBJECT_0 || !saver.IsRunning(); }, ms) &&
               WaitForSingleObject(underWay, 0) == WAIT_OBJECT_0;
    }
    bool WasStopped() const { return WaitForSingleObject(stopped, 0) == WAIT_OBJECT_0; }
};

// From `from` to the saver's end, or -1 after 30 s; its exit code in `code`.
double UntilEnd(SaverRun& run, LARGE_INTEGER from, DWORD& code)
{
    code = 0xFFFFFFFFu;
    if (!run.saver.WaitForExit(30000, &code)) return -1.0;
    return Milliseconds(from, Now());
}

void TimeFullScreen(int number)
{
    const int erase = number < 0 ? 0 : number + 2;
    SaverRun run;
    if (!run.Start(erase, "/s")) return;
    const char* name = number < 0 ? "(no wipe, Erase 0)" : kWipeTable[number].eraseText;
    bool underWay = false;
    if (number < 0) {
        run.saver.WaitForTopLevelWindow("WindowsScreenSaverClass", 15000);
        PumpUntil([] { return false; }, 1500);
    } else {
        underWay = run.WaitUnderWay(30000);
        if (!underWay) {
            std::printf("%3d %-18s no wipe came within 30 s\n", number, name);
            return;
        }
    }
    const LARGE_INTEGER pressed = Now();
    SendKeyPress(VK_SPACE);
    DWORD code = 0;
    const double ended = UntilEnd(run, pressed, code);
    std::printf("%3d %-18s %12.1f %9lu  %s\n", number, name, ended, static_cast<unsigned long>(code),
                number < 0 ? "-" : run.WasStopped() ? "stopped" : "ran to its end");
}

// The wipe whose pauses add up to the most on a w x h frame.
int LongestWipe(int w, int h, long long& total)
{
    struct Sum : StepPause {
        long long ms = 0;
        void Pause(int milliseconds) override { ms += milliseconds > 0 ? milliseconds : 0; }
    };
    int longest = 0;
    total = -1;
    for (int number = 0; number < kWipeCount; ++number) {
        SoftwareSurface surface(w, h);
        RuntimeRandom random;
        SeedRuntimeRandom(random, 1);
        Sum sum;
        PlayWipe(surface, random, sum, w, h, number, 2);
        if (sum.ms > total) {
            total = sum.ms;
            longest = number;
        }
    }
    return longest;
}

void TimePreview(int w, int h)
{
    long long total = 0;
    const int number = LongestWipe(w, h, total);
    HWND parent = CreateTimingWindow("WipeKeyTimingParent", w, h, 0, BLACK_BRUSH);
    if (parent == nullptr) return;
    SaverRun run;
    if (!run.Start(number + 2, "/p " + std::to_string(reinterpret_cast<ULONG_PTR>(parent)))) return;
    if (!run.WaitUnderWay(30000)) {
        std::printf("preview %dx%d: no wipe came within 30 s\n", w, h);
        DestroyWindow(parent);
        return;
    }
    const LARGE_INTEGER destroying = Now();
    DestroyWindow(parent);
    const double destroyed = Milliseconds(destroying, Now());
    DWORD code = 0;
    const double ended = UntilEnd(run, destroying, code);
    std::printf("preview %dx%d inside wipe %d %s (%lld ms of pauses): parent destroyed in %.1f ms, process ended %.1f ms after, "
                "exit code %lu, %s\n",
                w, h, number, kWipeTable[number].eraseText, total, destroyed, ended, static_cast<unsigned long>(code),
                run.WasStopped() ? "stopped" : "ran to its end");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "--saver") {
        std::string tail;
        for (int i = 5; i < argc; ++i) tail += std::string(i > 5 ? " " : "") + argv[i];
        return RunSaver(std::atoi(argv[2]), argv[3], std::string(argv[4]) == "sleep", tail);
    }
    int first = 0, last = kWipeCount - 1, previewW = 152, previewH = 112;
    for (int i = 1, n = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--preview" && i + 2 < argc) {
            previewW = std::atoi(argv[i + 1]);
            previewH = std::atoi(argv[i + 2]);
            i += 2;
        } else if (std::string(argv[i]) == "--sleep-only") {
            gSleepOnly = true;
        } else if (n++ == 0) {
            first = std::atoi(argv[i]);
        } else {
            last = std::atoi(argv[i]);
        }
    }
    std::printf("screen %dx%d, Speed 5; key pressed at a wipe's first pause, timed to the process's end%s\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), gSleepOnly ? "; pauses only sleep" : "");
    std::printf("%3s %-18s %12s %9s  %s\n", "no", "wipe", "key->end ms", "exit code", "wipe");
    for (int number = first; number <= last && number < kWipeCount; ++number) TimeFullScreen(number);
    TimeFullScreen(-1);
    TimePreview(previewW, previewH);
    return 0;
}
