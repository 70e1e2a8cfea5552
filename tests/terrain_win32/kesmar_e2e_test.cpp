// The real kesmar.scr, started as the system starts it: full screen with its
// settings file beside it, where landscapes in the grey scheme follow one
// another, a wipe between them, until a key ends it; a key, a click or the
// preview's parent going away inside a wipe, and small moves that do not end
// it; the settings dialog, what it shows and what each way out of it writes;
// its icon.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "common/win32/profile_settings_store.h"
#include "terrain/terrain_dialog_logic.h"
#include "terrain/terrain_life.h"
#include "tests/effect/wipe_harness.h"
#include "tests/host/saver_under_test.h"
#include "tests/pixels/pixel_ledger.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/win32/dialog_template.h"
#include "tests/win32/window_pixels.h"

using dialog_test::BinDirectory;
using dialog_test::FileExists;
using dialog_test::ReadFile;

namespace {

// A copy of kesmar.scr in a directory of its own, with the settings file
// text beside it (none for an empty text), and no settings kept for the user.
struct KesmarCopy {
    std::string directory, program, settings, userSettings;
    KesmarCopy(const std::string& name, const std::string& settingsText)
        : directory("C:\\kesmar-e2e\\" + name), program(directory + "\\kesmar.scr"), settings(directory + "\\kesmar.INI"),
          userSettings(GetUserSettingsFolder() + "kesmar.INI")
    {
        DeleteFileA(userSettings.c_str());
        dialog_test::MakeDirectories(directory);
        CopyFileA((BinDirectory() + "kesmar.scr").c_str(), program.c_str(), FALSE);
        DeleteFileA(settings.c_str());
        if (!settingsText.empty()) {
            std::ofstream out(settings, std::ios::binary | std::ios::trunc);
            out << settingsText;
        }
    }
};

bool IsGrey(std::uint32_t p) { return (p & 0xFF) == (p >> 8 & 0xFF) && (p >> 8 & 0xFF) == (p >> 16 & 0xFF); }

// Of the pixels lit in `later`, how many differ from `earlier`.
std::size_t LitPixelsChanged(const std::vector<std::uint32_t>& earlier, const std::vector<std::uint32_t>& later)
{
    std::size_t changed = 0;
    for (std::size_t i = 0; i < later.size(); ++i) changed += later[i] != 0 && later[i] != earlier[i] ? 1 : 0;
    return changed;
}

} // namespace

TEST(KesmarProgram, FullScreenShowsGreyLandscapesOneAfterAnotherUntilAKey)
{
    // Speed 5: 25 ticks a scene; Color 6: the grey scheme, entry j is (j, j, j);
    // Erase 2: wipe 0, random lines, between scenes.
    KesmarCopy copy("fullscreen", "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nColor=6\r\nErase=2\r\n");
    SaverProcess saver;
    SaverStart start;
    start.tail = "/s";
    std::string error;
    ASSERT_TRUE(saver.Start(copy.program, start, &error)) << error;
    ASSERT_NE(saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs), nullptr) << "no full-screen window appeared";

    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    // A landscape lights at least this many pixels. The wipe has passed once
    // fewer than a tenth of the most the first landscape lit are left; it
    // only ever blackens, so from the fewest lit pixels on, this many more
    // lit are the next landscape.
    const std::size_t enough = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) / 100;
    std::vector<std::uint32_t> first, second;
    std::size_t firstLit = 0, fewest = 0, changed = 0;
    bool wiped = false;
    int frames = 0, notGrey = 0;
    std::string litTrace; // the lit pixels of every frame, for a failure message
    const DWORD begin = GetTickCount();
    while (second.empty() && GetTickCount() - begin < 20000) {
        std::vector<std::uint32_t> pixels = ReadWindowPixels(nullptr, w, h);
        ++frames;
        std::size_t lit = 0;
        bool grey = true;
        for (std::uint32_t p : pixels) {
            lit += p != 0 ? 1 : 0;
            grey = grey && IsGrey(p);
        }
        notGrey += grey ? 0 : 1;
        litTrace += " " + std::to_string(lit);
        if (!wiped) {
            if (lit > firstLit) {
                firstLit = lit;
                first = pixels;
            } else if (firstLit >= enough && lit * 10 < firstLit) {
                wiped = true;
                fewest = lit;
            }
        } else if (lit < fewest) {
            fewest = lit;
        } else if (lit >= fewest + enough) {
            // Most of what the next landscape lights is not where the first was.
            changed = LitPixelsChanged(first, pixels);
            second.swap(pixels);
        }
        Sleep(10);
    }
    EXPECT_EQ(notGrey, 0) << "of " << frames << " frames";
    EXPECT_GE(firstLit, enough) << "lit pixels per frame:" << litTrace;
    EXPECT_TRUE(wiped) << "lit pixels per frame:" << litTrace;
    ASSERT_FALSE(second.empty()) << "lit pixels per frame:" << litTrace;
    std::size_t secondLit = 0;
    for (std::uint32_t p : second) secondLit += p != 0 ? 1 : 0;
    EXPECT_GT(changed * 2, secondLit) << "the next landscape is another one";

    SendKeyPress(VK_SPACE);
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << "a key did not end it";
    EXPECT_EQ(code, 0u);
}

TEST(KesmarProgram, AWholeSceneOnTheScreenIsTheSceneTheEffectLogicDraws)
{
    // Speed 4: 250 ticks a scene, 10 quads a tick, all 2401 drawn by tick 241;
    // the scene then stands still until tick 251. No wipe; every choice of
    // the scene (method, level, cut, scheme) is drawn at random.
    const char settingsText[] = "[ScreenSaver.Kesmar]\r\nSpeed=4\r\nErase=0\r\n";
    KesmarCopy copy("scene", settingsText);
    SaverProcess saver;
    SaverStart start;
    start.tail = "/s";
    std::string error;
    const DWORD startTick = GetTickCount();
    ASSERT_TRUE(saver.Start(copy.program, start, &error)) << error;
    ASSERT_NE(saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs), nullptr) << "no full-screen window appeared";
    // The seed is the tick count at window creation, before the window showed.
    const DWORD shownTick = GetTickCount();

    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    TerrainSettings settings;
    settings.Speed = 4;
    settings.Erase = 0;
    const int ticks = 241;
    // A frame that stays the same over several ticks is a whole scene; the
    // seed that draws exactly it is searched among the tick counts the
    // creation may have read.
    std::vector<std::uint32_t> previous, scene;
    DWORD previousTick = 0, matched = 0;
    int matches = 0, stillFrames = 0;
    const DWORD begin = GetTickCount();
    while (matches == 0 && GetTickCount() - begin < 15000) {
        std::vector<std::uint32_t> pixels = ReadWindowPixels(nullptr, w, h);
        const DWORD now = GetTickCount();
        const bool same = !previous.empty() && pixels == previous;
        if (same && now - previousTick < 40) {
            Sleep(5);
            continue;
        }
        if (same && std::count(pixels.begin(), pixels.end(), 0u) < static_cast<long>(pixels.size())) {
            ++stillFrames;
            for (DWORD seed = startTick - 50; seed != shownTick + 1; ++seed) {
                TerrainState state;
                RuntimeRandom random;
                SoftwareSurface surface(w, h);
                RecordedPauses pauses;
                InitTerrain(state, settings, random, seed, surface, w, h);
                for (int tick = 0; tick < ticks; ++tick) TickTerrain(state, settings, random, surface, pauses, w, h);
                if (surface.pixels == pixels) {
                    ++matches;
                    matched = seed;
                    scene = pixels;
                }
            }
            previous.clear();
        } else {
            previous.swap(pixels);
            previousTick = now;
        }
        Sleep(5);
    }
    EXPECT_GE(stillFrames, 1) << "the screen never stood still";
    EXPECT_EQ(matches, 1) << "no seed (or more than one) draws the scene on the screen";
    if (matches == 1) {
        pixel_ledger::AppendLine(BinDirectory() + "pixel-ledger.txt",
                                 pixel_ledger::FormatLine("terrain", {{"width", std::to_string(w)}, {"height", std::to_string(h)},
                                                                      {"seed", std::to_string(matched)}, {"ticks", std::to_string(ticks)},
                                                                      {"Speed", "4"}, {"Erase", "0"},
                                                                      {"frame", pixel_ledger::HexHash(pixel_ledger::HashPixels(scene))}}));
    }
    SendKeyPress(VK_SPACE);
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << "a key did not end it";
    EXPECT_EQ(code, 0u);
}

namespace {

// Where the cursor stands when a saver starts, so that moves are measured
// from a known place.
constexpr int kCursorStartX = 500;
constexpr int kCursorStartY = 400;


double MillisecondsSince(const LARGE_INTEGER& from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The screen read again and again, this thread's messages handled between
// two readings.
struct ScreenWatch {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    std::vector<std::uint32_t> last = ReadWindowPixels(nullptr, w, h);
    std::size_t blackened = 0, drawn = 0, lit = 0; // since the reading before
    std::string trace;                             // "blackened/drawn" of the last readings

    void Read()
    {
        PumpUntil([] { return false; }, 10);
        std::vector<std::uint32_t> now = ReadWindowPixels(nullptr, w, h);
        blackened = drawn = lit = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            lit += now[i] != 0 ? 1 : 0;
            if (now[i] != last[i]) ++(now[i] == 0 ? blackened : drawn);
        }
        last.swap(now);
        trace += " " + std::to_string(blackened) + "/" + std::to_string(drawn);
        if (trace.size() > 2000) trace.erase(0, trace.find(' ', trace.size() - 1500));
    }

    // Reads until a wipe is under way: once a landscape has lit a hundredth
    // of the screen, a reading in which many pixels went black and none was
    // drawn (a landscape being drawn always draws some). False after 20 s.
    bool UntilAWipeIsUnderWay()
    {
        const std::size_t enough = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) / 100;
        bool landscape = false;
        for (const DWORD begin = GetTickCount(); GetTickCount() - begin < 20000;) {
            Read();
            landscape = landscape || lit >= enough;
            if (landscape && drawn == 0 && blackened >= enough / 10) return true;
        }
        return false;
    }
};

} // namespace

// A key or a click inside a wipe ends the saver at once, as outside one: the
// wipe gives way (it would otherwise hold the key for seconds: the squarerate
// pauses 4.1 s at 1024 x 768, the quad wipe 3.6 s). Moves of 4 pixels or less
// (2 + 2, then 1 + 3 from the start) neither end it nor cut its wipe short:
// for a second the screen only goes on turning black, with some of the old
// landscape left, where a stopped wipe would be followed by the next
// landscape. The bound is loose; the figures are the timing program's.
TEST(KesmarProgram, AKeyInsideAWipeEndsItAtOnceSmallMovesDoNot)
{
    enum class Input { Key, Click, SmallMovesThenKey };
    const std::pair<int, Input> cases[] = {
        {8, Input::Key}, {5, Input::Key}, {2, Input::Key}, {14, Input::Click}, {8, Input::SmallMovesThenKey}};
    for (const auto& [erase, input] : cases) {
        const std::string name = "in-wipe-" + std::to_string(erase) + (input == Input::SmallMovesThenKey ? "-moved" : "");
        ASSERT_TRUE(MoveCursorTo(kCursorStartX, kCursorStartY));
        KesmarCopy copy(name, "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=" + std::to_string(erase) + "\r\n");
        SaverProcess saver;
        SaverStart start;
        start.tail = "/s";
        std::string error;
        ASSERT_TRUE(saver.Start(copy.program, start, &error)) << error;
        ASSERT_NE(saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs), nullptr) << name;
        ScreenWatch watch;
        ASSERT_TRUE(watch.UntilAWipeIsUnderWay()) << name << ": blackened/drawn per reading:" << watch.trace;
        if (input == Input::SmallMovesThenKey) {
            ASSERT_TRUE(MoveCursorTo(kCursorStartX + 2, kCursorStartY + 2));
            ASSERT_TRUE(MoveCursorTo(kCursorStartX + 1, kCursorStartY + 3));
            watch.trace.clear();
            for (const DWORD begin = GetTickCount(); GetTickCount() - begin < 1000;) {
                watch.Read();
                ASSERT_EQ(watch.drawn, 0u) << name << ": drawn after the moves; blackened/drawn per reading:" << watch.trace;
            }
            EXPECT_GT(watch.lit, 0u) << name << ": the screen went black within a second of the moves";
        }
        LARGE_INTEGER pressed;
        QueryPerformanceCounter(&pressed);
        if (input == Input::Click) SendMouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        else SendKeyPress(VK_SPACE);
        DWORD code = 1;
        ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << name << ": it did not end";
        EXPECT_LT(MillisecondsSince(pressed), 1500.0) << name;
        EXPECT_EQ(code, 0u) << name;
    }
}

// The display settings end a preview by destroying the window that holds it.
// Inside a wipe the preview answers at once, so the destruction returns at
// once (the squarerate would otherwise hold it for up to 3.3 s in 800 x 600),
// and the preview ends with 0. Whether the preview is inside a wipe shows
// from outside without disturbing it: a context-menu request posted to it
// (which does not make a wipe give way) comes back to the parent only once
// the preview takes its next message.
TEST(KesmarProgram, DestroyingThePreviewsParentInsideAWipeReturnsAtOnce)
{
    auto parent = std::make_unique<TestWindow>(800, 600);
    KesmarCopy copy("preview-in-wipe", "[ScreenSaver.Kesmar]\r\nSpeed=5\r\nErase=8\r\n");
    SaverProcess saver;
    SaverStart start;
    start.tail = "/p " + parent->HandleText();
    std::string error;
    ASSERT_TRUE(saver.Start(copy.program, start, &error)) << error;
    HWND preview = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (preview = FindWindowExA(parent->Handle(), nullptr, "WindowsScreenSaverClass", nullptr)) != nullptr; },
                          kStartTimeoutMs));
    // A tick of quads or a new scene takes milliseconds; no answer for half a
    // second is a wipe.
    bool inWipe = false;
    for (const DWORD begin = GetTickCount(); !inWipe && GetTickCount() - begin < 20000;) {
        const int before = parent->forwardedCount;
        PostMessageA(preview, WM_CONTEXTMENU, 0, MAKELPARAM(1, 1));
        inWipe = !PumpUntil([&] { return parent->forwardedCount > before; }, 500);
        if (!inWipe) PumpUntil([] { return false; }, 20);
    }
    ASSERT_TRUE(inWipe) << "the preview never stayed in one message for half a second";
    LARGE_INTEGER destroying;
    QueryPerformanceCounter(&destroying);
    parent.reset();
    const double took = MillisecondsSince(destroying);
    EXPECT_LT(took, 1500.0);
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
}

namespace {

// The settings dialog of a copy started with /c.
struct DialogRun {
    KesmarCopy copy;
    SaverProcess saver;
    HWND dialog = nullptr;
    DialogRun(const std::string& name, const std::string& settingsText) : copy("dialog-" + name, settingsText)
    {
        SaverStart start;
        start.tail = "/c";
        std::string error;
        if (!saver.Start(copy.program, start, &error)) ADD_FAILURE() << error;
        dialog = saver.WaitForTopLevelWindow("#32770", kStartTimeoutMs);
    }
    int Slider(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0)); }
    int Selected(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }
    std::vector<std::string> Lines(int id) const
    {
        // Asked for in UTF-16: a list's text crosses between processes whole that way.
        std::vector<std::string> lines;
        const int count = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            std::string line;
            for (const wchar_t* c = text; *c != 0; ++c) line += static_cast<char>(*c);
            lines.push_back(line);
        }
        return lines;
    }
    void SetSlider(int id, int position) { SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, position); }
    void Select(int id, int line) { SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(line), 0); }
    DWORD End(DWORD timeoutMs = kExitTimeoutMs)
    {
        DWORD code = 0xFFu;
        if (!saver.WaitForExit(timeoutMs, &code)) return 0xFFFFFFFFu;
        return code;
    }
};

} // namespace

TEST(KesmarDialog, OpensWithTheStoredSettings)
{
    struct Case {
        const char* name;
        const char* settings;
        int depth, speed;
        std::vector<int> selections; // Mode, Level, Colors, Erase, Threshold
    };
    const Case cases[] = {
        {"defaults", "", 25, 1, {0, 0, 0, 1, 0}},
        {"chosen", "[ScreenSaver.Kesmar]\r\nDepth=70\r\nSpeed=4\r\nMode=2\r\nLevel=3\r\nColor=6\r\nErase=16\r\nThreshold=1\r\n", 70, 4, {2, 3, 6, 16, 1}},
        // Hand-edited: Depth at the slider's nearer end, the lists clamped on reading.
        {"low", "[ScreenSaver.Kesmar]\r\nDepth=-5\r\nSpeed=0\r\nColor=99\r\nErase=-4\r\nLevel=7\r\n", 10, 1, {0, 3, 12, 0, 0}},
        {"high", "[ScreenSaver.Kesmar]\r\nDepth=1000\r\nSpeed=9\r\nMode=-1\r\nThreshold=5\r\n", 100, 5, {0, 0, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        DialogRun run(c.name, c.settings);
        ASSERT_NE(run.dialog, nullptr) << c.name;
        EXPECT_EQ(run.Slider(1015), c.depth) << c.name;
        EXPECT_EQ(run.Slider(1018), c.speed) << c.name;
        const int lists[5] = {1042, 1043, 1048, 1046, 1047};
        for (int n = 0; n < 5; ++n) EXPECT_EQ(run.Selected(lists[n]), c.selections[static_cast<std::size_t>(n)]) << c.name << " list " << lists[n];
        if (std::string(c.name) == "defaults") {
            // Every list holds its lines in order, the wipes by their own names.
            for (const TerrainListSetup& list : TerrainDialogLists()) EXPECT_EQ(run.Lines(list.id), list.lines) << list.id;
            char text[64] = {};
            GetDlgItemTextA(run.dialog, 1016, text, sizeof text);
            EXPECT_STREQ(text, "kesmar@example.org");
            GetWindowTextA(run.dialog, text, sizeof text);
            EXPECT_STREQ(text, "About Kesmar v1.2");
        }
        PostMessageA(GetDlgItem(run.dialog, 1011), BM_CLICK, 0, 0);
        EXPECT_EQ(run.End(), 0u) << c.name;
    }
}

TEST(KesmarDialog, WaysOutAndWhatTheyWrite)
{
    enum class Leave { Ok, Enter, Annuler, CloseBox, EscapeThenAnnuler };
    struct Case {
        const char* name;
        const char* settings; // before, "" for no file
        std::function<void(DialogRun&)> change;
        Leave leave;
        DWORD exitCode;
        std::vector<std::string> written; // the file's lines after; empty: unchanged
    };
    const auto none = [](DialogRun&) {};
    const std::string edited = "[ScreenSaver.Kesmar]\r\nSpeed=3\r\nColor=6\r\n";
    const Case cases[] = {
        // OK without a change writes all seven keys, making file and section.
        {"ok", "", none, Leave::Ok, 1, {"Depth=25", "Speed=1", "Mode=0", "Level=0", "Erase=1", "Color=0", "Threshold=0"}},
        {"lowest", "", [](DialogRun& r) { r.SetSlider(1015, 10); r.SetSlider(1018, 5); r.Select(1046, 0); r.Select(1048, 6); },
         Leave::Ok, 1, {"Depth=10", "Speed=5", "Mode=0", "Level=0", "Erase=0", "Color=6", "Threshold=0"}},
        {"enter", "", [](DialogRun& r) { r.SetSlider(1015, 100); r.Select(1046, 16); r.Select(1042, 2); r.Select(1047, 1); },
         Leave::Enter, 1, {"Depth=100", "Speed=1", "Mode=2", "Level=0", "Erase=16", "Color=0", "Threshold=1"}},
        {"annuler", edited.c_str(), [](DialogRun& r) { r.SetSlider(1015, 90); }, Leave::Annuler, 0, {}},
        {"close-box", edited.c_str(), [](DialogRun& r) { r.Select(1046, 0); }, Leave::CloseBox, 0, {}},
        {"escape", "", [](DialogRun& r) { r.SetSlider(1018, 4); }, Leave::EscapeThenAnnuler, 0, {}},
    };
    for (const Case& c : cases) {
        DialogRun run(c.name, c.settings);
        ASSERT_NE(run.dialog, nullptr) << c.name;
        c.change(run);
        const HWND ok = GetDlgItem(run.dialog, 1010);
        switch (c.leave) {
        case Leave::Ok: PostMessageA(ok, BM_CLICK, 0, 0); break;
        case Leave::Enter: PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 1); break; // typed with the focus on a control
        case Leave::Annuler: PostMessageA(GetDlgItem(run.dialog, 1011), BM_CLICK, 0, 0); break;
        case Leave::CloseBox: PostMessageA(run.dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case Leave::EscapeThenAnnuler:
            // Esc does nothing: the dialog stays open until Annuler.
            PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 1);
            EXPECT_EQ(run.End(1500), 0xFFFFFFFFu) << "Esc ended the dialog";
            PostMessageA(GetDlgItem(run.dialog, 1011), BM_CLICK, 0, 0);
            break;
        }
        EXPECT_EQ(run.End(), c.exitCode) << c.name;
        if (!c.written.empty()) {
            EXPECT_EQ(dialog_test::SettingsLines(run.copy.settings), c.written) << c.name;
            EXPECT_EQ(ReadFile(run.copy.settings).rfind("[ScreenSaver.Kesmar]", 0), 0u) << c.name;
        } else if (*c.settings == '\0') {
            EXPECT_FALSE(FileExists(run.copy.settings)) << c.name;
        } else {
            EXPECT_EQ(ReadFile(run.copy.settings), c.settings) << c.name;
        }
    }
    // The saver reads back what OK wrote.
    DialogRun saved("saved", "");
    ASSERT_NE(saved.dialog, nullptr);
    saved.SetSlider(1015, 40);
    saved.Select(1043, 2);
    PostMessageA(GetDlgItem(saved.dialog, 1010), BM_CLICK, 0, 0);
    EXPECT_EQ(saved.End(), 1u);
    ProfileSettingsStore store(saved.copy.settings);
    const TerrainSettings read = LoadTerrainSettings(store);
    EXPECT_EQ(read.Depth, 40);
    EXPECT_EQ(read.Level, 2);
    EXPECT_EQ(read.Erase, 1);
}

TEST(KesmarDialog, SettingsThatCannotBeWrittenBesideTheProgramAreKeptForTheUser)
{
    // A read-only file (which this test's user may still be allowed to
    // write), and a directory where the file should be: OK ends the dialog
    // with 1, and what it stored is read again, from the file beside the
    // program or from the user's own.
    const std::string text = "[ScreenSaver.Kesmar]\r\nDepth=30\r\n";
    const auto storedDepth = [](const KesmarCopy& copy) {
        SaverSettingsStore store(copy.settings, copy.userSettings);
        return LoadTerrainSettings(store).Depth;
    };
    {
        DialogRun readOnly("read-only", text);
        SetFileAttributesA(readOnly.copy.settings.c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_NE(readOnly.dialog, nullptr);
        readOnly.SetSlider(1015, 80);
        PostMessageA(GetDlgItem(readOnly.dialog, 1010), BM_CLICK, 0, 0);
        EXPECT_EQ(readOnly.End(), 1u);
        SetFileAttributesA(readOnly.copy.settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(storedDepth(readOnly.copy), 80);
    }
    DialogRun blocked("directory", "");
    CreateDirectoryA(blocked.copy.settings.c_str(), nullptr);
    ASSERT_NE(blocked.dialog, nullptr);
    blocked.SetSlider(1015, 70);
    PostMessageA(GetDlgItem(blocked.dialog, 1010), BM_CLICK, 0, 0);
    EXPECT_EQ(blocked.End(), 1u);
    EXPECT_NE(GetFileAttributesA(blocked.copy.settings.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(storedDepth(blocked.copy), 70);
    RemoveDirectoryA(blocked.copy.settings.c_str());
    DeleteFileA(blocked.copy.userSettings.c_str());
}

TEST(KesmarDialog, TemplateAsBuiltIntoTheProgram)
{
    ProgramResources program(BinDirectory() + "kesmar.scr");
    ASSERT_NE(program.module, nullptr);
    const std::vector<BYTE> bytes = program.Bytes(MAKEINTRESOURCEA(5) /* dialog */, 2003);
    ASSERT_FALSE(bytes.empty());
    TemplateReader r{bytes.data(), bytes.data() + bytes.size()};
    // The plain (not extended) form.
    EXPECT_EQ(r.Take<DWORD>(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(r.Take<DWORD>(), 0u); // extended style
    const WORD count = r.Take<WORD>();
    EXPECT_EQ(r.Take<short>(), 0);
    EXPECT_EQ(r.Take<short>(), 0);
    EXPECT_EQ(r.Take<short>(), 249);
    EXPECT_EQ(r.Take<short>(), 205);
    EXPECT_EQ(r.TakeNameOrOrdinal(), ""); // no menu
    EXPECT_EQ(r.TakeNameOrOrdinal(), ""); // the standard dialog class
    EXPECT_EQ(r.TakeText(), "About Kesmar v1.2");
    EXPECT_EQ(r.Take<WORD>(), 8);
    EXPECT_EQ(r.TakeText(), "MS Sans Serif");

    constexpr DWORD shown = WS_CHILD | WS_VISIBLE;
    constexpr DWORD list = shown | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
    const ControlTemplate expected[] = {
        {shown | WS_GROUP | SS_CENTER, 0, 15, 60, 28, 8, 65535, "static", "&Depth:"},
        {shown | WS_TABSTOP | TBS_AUTOTICKS, 0, 67, 58, 138, 12, 1015, "msctls_trackbar32", "Slider1"},
        {shown | WS_GROUP | SS_CENTER, 0, 15, 75, 28, 8, 65535, "static", "&Speed:"},
        {shown | WS_TABSTOP | TBS_AUTOTICKS, 0, 67, 73, 138, 12, 1018, "msctls_trackbar32", "Slider1"},
        {shown | WS_GROUP | SS_LEFT, 0, 15, 119, 21, 12, 65535, "static", "&Mode:"},
        {list, 0, 42, 118, 75, 61, 1042, "combobox", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 15, 137, 22, 12, 65535, "static", "&Level:"},
        {list, 0, 42, 136, 75, 61, 1043, "combobox", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 15, 154, 22, 12, 65535, "static", "&Colors:"},
        {list, 0, 42, 153, 75, 61, 1048, "combobox", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 125, 118, 34, 12, 65535, "static", "&Erase:"},
        {list, 0, 162, 118, 75, 61, 1046, "combobox", ""},
        {shown | WS_GROUP | SS_LEFT, 0, 125, 155, 35, 12, 65535, "static", "&Threshold:"},
        {list, 0, 163, 153, 75, 61, 1047, "combobox", ""},
        {shown | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 66, 182, 56, 15, 1010, "button", "&OK"},
        {shown | WS_TABSTOP | BS_PUSHBUTTON, 0, 127, 182, 56, 15, 1011, "button", "&Annuler"},
        {shown | WS_TABSTOP | BS_PUSHBUTTON, 0, 86, 22, 86, 15, 1016, "button", "kesmar@example.org"},
        {shown | BS_GROUPBOX, 0, 7, 42, 235, 54, 65535, "button", "Parameters"},
        {shown | WS_GROUP | SS_LEFT, 0, 35, 12, 179, 10, 65535, "static", "If you like Kesmar send me an e-mail or a postcard"},
        {shown | WS_GROUP | SS_LEFT, 0, 35, 4, 138, 9, 65535, "static", "Kesmar for Windows"},
        {shown | SS_ICON, 0, 7, 4, 20, 20, 65535, "static", "SSAVERICON"},
        {shown | WS_GROUP | SS_CENTER, 0, 48, 60, 17, 8, 65535, "static", "Low"},
        {shown | WS_GROUP | SS_LEFT, 0, 210, 60, 19, 8, 65535, "static", "High"},
        {shown | WS_GROUP | SS_CENTER, 0, 48, 75, 17, 8, 65535, "static", "Min"},
        {shown | WS_GROUP | SS_LEFT, 0, 210, 75, 19, 8, 65535, "static", "Max"},
        {shown | BS_GROUPBOX, 0, 7, 103, 235, 71, 65535, "button", "Effects"},
    };
    ASSERT_EQ(count, sizeof expected / sizeof expected[0]);
    for (const ControlTemplate& e : expected) {
        r.AlignToDword(bytes.data());
        SCOPED_TRACE("control " + std::to_string(e.id) + " " + e.text);
        EXPECT_EQ(r.Take<DWORD>(), e.style);
        EXPECT_EQ(r.Take<DWORD>(), e.exStyle);
        EXPECT_EQ(r.Take<short>(), e.x);
        EXPECT_EQ(r.Take<short>(), e.y);
        EXPECT_EQ(r.Take<short>(), e.cx);
        EXPECT_EQ(r.Take<short>(), e.cy);
        EXPECT_EQ(r.Take<WORD>(), static_cast<WORD>(e.id));
        EXPECT_EQ(ClassName(r.TakeNameOrOrdinal()), e.className);
        EXPECT_EQ(r.TakeNameOrOrdinal(), e.text);
        r.at += r.Take<WORD>(); // creation data
    }
    EXPECT_TRUE(r.ok);

    // The icon the dialog shows: 32 x 32 and 16 x 16 images under the name SSAVERICON.
    HRSRC group = FindResourceA(program.module, "SSAVERICON", MAKEINTRESOURCEA(14) /* group icon */);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program.module, group)));
    ASSERT_NE(directory, nullptr);
    ASSERT_EQ(directory[4], 2); // two images
    EXPECT_EQ(directory[6], 32);
    EXPECT_EQ(directory[6 + 14], 16);
}

