// Watches a running full-screen saver from another process, for the soak run
// (scripts/soak.sh). It finds the host's full-screen window and the process
// that owns it, reads that process's GDI and USER objects, kernel handles
// and private bytes along the way and keeps asking the window for an answer,
// then ends the saver with a key press taken while it is idle (between two
// timer ticks, never inside a wipe) and measures how long the window and the
// process take to end.
//
//   saver_watch NAME SECONDS [--warmup S] [--every S] [--key-limit MS]
//               [--private-tolerance KIB] [--answer-limit MS]
//
// SECONDS counts from the window's appearance to the key press; the first
// reading after the warm-up is the start every later one is held against.
// Exit code 0 when everything held; 1 when objects or private bytes grew,
// the saver stopped answering, ended before the key, ended with another exit
// code than 0, or took longer than the limit to end after the key; 2 when no
// saver window appeared or its process cannot be read.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/host/saver_under_test.h"
#include "tests/win32/process_objects.h"

using process_objects::Reading;

namespace {

struct Options {
    std::string name;
    double seconds = 60;
    double warmupSeconds = 10;
    double everySeconds = 10;
    double keyLimitMs = 2000;
    // The saver's whole process under Wine, over minutes, full screen: the
    // terrain saver's random wipes raised the heap's high water by 336 to
    // 428 KiB in 10 minutes (up to 568 KiB in a first minute), most of it
    // early, then a few KiB a minute. A leak of one small block per relief frame (100 a second) passes
    // this within minutes; smaller leaks are the in-process checks' to find.
    std::uint64_t privateTolerance = 1024 * 1024;
    // Longer than the longest wipe (the saver answers nothing while one
    // pauses), far shorter than a hang.
    DWORD answerLimitMs = 30000;
};

LARGE_INTEGER frequency;

// An answer this quick comes from a saver waiting for its next message; one
// this slow from a saver that was inside a wipe (a tick of quads or a relief
// frame takes a few milliseconds at full screen).
constexpr double kIdleAnswerMs = 5;
constexpr double kWipeAnswerMs = 50;

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 3) return false;
    options.name = argv[1];
    options.seconds = std::atof(argv[2]);
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const double value = std::atof(argv[i + 1]);
        if (option == "--warmup") options.warmupSeconds = value;
        else if (option == "--every") options.everySeconds = value;
        else if (option == "--key-limit") options.keyLimitMs = value;
        else if (option == "--private-tolerance") options.privateTolerance = static_cast<std::uint64_t>(value * 1024);
        else if (option == "--answer-limit") options.answerLimitMs = static_cast<DWORD>(value);
        else return false;
    }
    return options.seconds > 0 && options.warmupSeconds >= 0 && options.everySeconds > 0;
}

std::string Clock(double ms)
{
    const int seconds = static_cast<int>(ms / 1000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void Print(const Options& options, const std::string& line)
{
    std::printf("%s: %s\n", options.name.c_str(), line.c_str());
    std::fflush(stdout);
}

// How long the window took to answer a message, in milliseconds; a negative
// value when it gave no answer within the limit or is gone.
double AnswerTime(HWND window, DWORD limitMs)
{
    const double begin = NowMs();
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &ignored)) return -1;
    return NowMs() - begin;
}

// A reading of the saver's process, each figure the least of ten readings
// taken at uneven times (so that none keeps step with the saver's timer): an
// object a frame or a tick holds for a moment shows in some of them (under
// Wine about one in ten), an object that stays in all of them.
Reading ReadLeastOfTen(HANDLE process)
{
    unsigned spacing = GetTickCount();
    return process_objects::ReadLeast(process, 10, [&spacing] {
        spacing = spacing * 1103515245u + 12345u;
        Sleep(3 + (spacing >> 16) % 29);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&frequency);
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: saver_watch NAME SECONDS [--warmup S] [--every S] [--key-limit MS] "
                             "[--private-tolerance KIB] [--answer-limit MS]\n");
        return 2;
    }

    HWND window = nullptr;
    for (double begin = NowMs(); window == nullptr && NowMs() - begin < 30000; Sleep(50))
        window = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    if (window == nullptr) {
        Print(options, "no full-screen saver window appeared within 30 s");
        return 2;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        Print(options, "cannot open the saver's process " + std::to_string(processId));
        return 2;
    }
    const Reading first = process_objects::Read(process);
    if (first.gdi == 0 || first.privateBytes == 0) {
        Print(options, "cannot read the saver's GDI objects or private bytes");
        return 2;
    }
    const double shown = NowMs();
    Print(options, "at 0:00  " + process_objects::Describe(first) + " (process " + std::to_string(processId) + ")");

    std::string failures;
    const auto fail = [&](std::string why) {
        if (!why.empty() && why.back() == ';') why.pop_back();
        failures += " " + why + ";";
        Print(options, "FAILED: " + why);
    };

    // Along the way: an answer from the window every 2 s, a reading at the
    // end of the warm-up and every `every` seconds after it. The question is
    // a message sent from another thread, which cuts short a wipe under way
    // (the saver gives way to it): asked more often, no wipe would ever run
    // to its end in a soak.
    const double runMs = options.seconds * 1000.0;
    const double warmupMs = options.warmupSeconds * 1000.0 < runMs ? options.warmupSeconds * 1000.0 : 0.0;
    bool haveStart = false;
    Reading start, last = first;
    double nextReading = warmupMs, longestAnswer = 0;
    std::uint64_t mostPrivate = 0;
    while (failures.empty()) {
        const double elapsed = NowMs() - shown;
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            fail("the saver ended by itself after " + Clock(elapsed));
            break;
        }
        const double answer = AnswerTime(window, options.answerLimitMs);
        if (answer < 0) {
            if (IsWindow(window)) fail("the saver gave no answer for " + std::to_string(options.answerLimitMs / 1000) + " s at " + Clock(elapsed));
            else fail("the saver's window went away by itself after " + Clock(elapsed));
            break;
        }
        longestAnswer = answer > longestAnswer ? answer : longestAnswer;
        if (elapsed >= nextReading || elapsed >= runMs) {
            last = ReadLeastOfTen(process);
            if (!haveStart) {
                start = last;
                haveStart = true;
                Print(options, "start at " + Clock(elapsed) + "  " + process_objects::Describe(start));
            } else {
                Print(options, "at " + Clock(elapsed) + "  " + process_objects::Describe(last));
                std::string grown = process_objects::Growth(start, last, options.privateTolerance);
                if (!grown.empty()) {
                    // What stays is read again a second later; what a drawing
                    // call held for a moment is gone by then.
                    Sleep(1000);
                    last = ReadLeastOfTen(process);
                    Print(options, "again    " + process_objects::Describe(last));
                    grown = process_objects::Growth(start, last, options.privateTolerance);
                }
                if (!grown.empty()) fail("grew since the start:" + grown);
            }
            if (last.privateBytes > start.privateBytes) {
                const std::uint64_t growth = last.privateBytes - start.privateBytes;
                mostPrivate = growth > mostPrivate ? growth : mostPrivate;
            }
            nextReading += options.everySeconds * 1000.0;
        }
        if (elapsed >= runMs) break;
        Sleep(2000);
    }

    Print(options, "end at " + Clock(NowMs() - shown) + "  " + process_objects::Describe(last) + "; start " +
                       process_objects::Describe(start) + "; private bytes at most +" + std::to_string(mostPrivate / 1024) +
                       " KiB; longest wait for an answer " + std::to_string(static_cast<int>(longestAnswer + 0.5)) + " ms");

    // A saver that grew is still ended with the key; one that hangs or has
    // gone is left to the caller.
    double keyToWindowEnd = -1, keyToExit = -1, idleAnswer = -1;
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && AnswerTime(window, options.answerLimitMs) >= 0) {
        // The key goes in right after a quick answer: the saver is then
        // waiting for its next message, not drawing a tick or pausing in a
        // wipe, and a key waiting in its queue comes before the next timer
        // message. Better still right after a slow answer (a wipe) has
        // ended: the next wipe is then a whole scene away. A saver that shows
        // no slow answer for 3 s has no wipes to wait for.
        bool afterWipe = false;
        const double looking = NowMs();
        for (int attempt = 0; attempt < 100000 && idleAnswer < 0; ++attempt) {
            const double answer = AnswerTime(window, options.answerLimitMs);
            if (answer < 0) break;
            if (answer >= kWipeAnswerMs) afterWipe = true;
            else if (answer <= kIdleAnswerMs && (afterWipe || NowMs() - looking > 3000)) idleAnswer = answer;
        }
        if (idleAnswer < 0) {
            fail("the saver was never found idle to take the key");
        } else {
            const double pressed = NowMs();
            SendKeyPress(VK_SPACE);
            const double giveUp = options.keyLimitMs + 10000;
            while (IsWindow(window) && NowMs() - pressed < giveUp) Sleep(1);
            if (!IsWindow(window)) keyToWindowEnd = NowMs() - pressed;
            const double left = giveUp - (NowMs() - pressed);
            if (WaitForSingleObject(process, left > 0 ? static_cast<DWORD>(left) : 0) == WAIT_OBJECT_0) keyToExit = NowMs() - pressed;
            GetExitCodeProcess(process, &exitCode);
            char line[200];
            std::snprintf(line, sizeof line, "key pressed while idle%s (answered in %.1f ms): window ended %.0f ms and process %.0f ms after it, exit code %ld",
                          afterWipe ? ", a wipe just ended" : "", idleAnswer, keyToWindowEnd, keyToExit, static_cast<long>(exitCode));
            Print(options, line);
            if (keyToWindowEnd < 0 || keyToExit < 0) fail("the saver did not end within " + std::to_string(static_cast<int>(giveUp / 1000)) + " s of the key");
            else if (keyToExit > options.keyLimitMs)
                fail("the saver took " + std::to_string(static_cast<int>(keyToExit)) + " ms to end, more than " +
                     std::to_string(static_cast<int>(options.keyLimitMs)) + " ms");
            if (keyToExit >= 0 && exitCode != 0) fail("exit code " + std::to_string(static_cast<long>(exitCode)));
        }
    }
    CloseHandle(process);
    Print(options, failures.empty() ? "passed" : "FAILED:" + failures);
    return failures.empty() ? 0 : 1;
}
