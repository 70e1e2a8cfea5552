// The relief saver's window, run by the host as a preview inside a parent
// window: every frame on screen equals what the effect logic computes for the
// same seed, settings and snapshot.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "common/win32/profile_settings_store.h"
#include "host/saver_host_state.h"
#include "host/saver_host_testing.h"
#include "relief/relief_life.h"
#include "relief/win32/relief_capture.h"
#include "relief/win32/relief_window.h"
#include "tests/terrain_win32/terrain_test_window.h"
#include "tests/win32/saver_window_state.h"
#include "tests/win32/window_pixels.h"

namespace {

// The previews start the real helper beside this program: the snapshot it
// writes goes when the tests end.
struct SnapshotCleanup : ::testing::Environment {
    void TearDown() override { DeleteFileA(kSnapshotPath); }
};
::testing::Environment* const kSnapshotCleanup = ::testing::AddGlobalTestEnvironment(new SnapshotCleanup);

constexpr DWORD kSeed = 0x5EED1234u;
DWORD WINAPI FixedTick() { return kSeed; }

std::vector<std::uint8_t> ReadFileBytes(const char* path, std::size_t size)
{
    std::vector<std::uint8_t> bytes(size, 0);
    if (std::FILE* file = std::fopen(path, "rb")) {
        std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return bytes;
}

void WriteSettings(const std::string& text)
{
    std::ofstream out(GetSettingsPath(), std::ios::binary | std::ios::trunc);
    out << text;
}

// Drives the saver window from the parent's timer: one WM_TIMER per tick,
// the window's pixels compared after each with the software mirror.
struct PreviewRun {
    int width = 0, height = 0, frames = 0, framesChecked = 0;
    bool mirrorReady = false;
    ReliefState mirror;
    RuntimeRandom mirrorRandom;
    SoftwareSurface* mirrorSurface = nullptr;
    std::string failure;
};
PreviewRun* gRun = nullptr;

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && gRun != nullptr && saverHost.saverWindow != nullptr) {
        PreviewRun& run = *gRun;
        if (!run.mirrorReady) {
            // The saver has been created: mirror it with the same seed, settings
            // and the snapshot it read.
            const auto picture = ReadFileBytes(kSnapshotPath, static_cast<std::size_t>(run.width * run.height * 3));
            const ReliefSaverState* saver = SaverWindowStateOf<ReliefSaverState>(saverHost.saverWindow);
            if (saver == nullptr) {
                run.failure = "the saver window has no state";
                DestroyWindow(saverHost.saverWindow);
                return 0;
            }
            InitRelief(run.mirror, saver->settings, run.mirrorRandom, kSeed, run.width, run.height, 0, picture.data(), picture.size());
            run.mirrorReady = true;
        }
        if (run.framesChecked < run.frames && run.failure.empty()) {
            SendMessageA(saverHost.saverWindow, WM_TIMER, 7, 0); // any timer identifier draws
            TickRelief(run.mirror, run.mirrorRandom, *run.mirrorSurface);
            const auto shown = ReadWindowPixels(saverHost.saverWindow, run.width, run.height);
            for (int y = 0; y < run.height && run.failure.empty(); ++y) {
                for (int x = 0; x < run.width; ++x) {
                    const std::uint32_t want = run.mirrorSurface->PixelAt(x, y);
                    const std::uint32_t got = shown[static_cast<std::size_t>(y * run.width + x)];
                    if (want != got) {
                        char text[160];
                        std::snprintf(text, sizeof text, "frame %d pixel %d,%d: shown %06x, computed %06x", run.framesChecked + 1, x, y,
                                      static_cast<unsigned>(got), static_cast<unsigned>(want));
                        run.failure = text;
                        break;
                    }
                }
            }
            ++run.framesChecked;
        } else {
            DestroyWindow(saverHost.saverWindow);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

class ReliefPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSaverTickSourceForTesting(&FixedTick);
    }
    void TearDown() override
    {
        SetSaverTickSourceForTesting(nullptr);
        std::remove(GetSettingsPath().c_str());
    }

    void RunAndCompare(int width, int height, int frames)
    {
        // Each run starts as a fresh process would: no class, no window.
        ResetSaverHostStateForTesting();
        UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
        saverHost.instance = GetModuleHandleA(nullptr);
        PreviewRun run;
        run.width = width;
        run.height = height;
        run.frames = frames;
        SoftwareSurface mirrorSurface(width, height);
        run.mirrorSurface = &mirrorSurface;
        gRun = &run;
        HWND parent = CreatePlainWindow(width, height, ParentProcedure);
        ASSERT_NE(parent, nullptr);
        SetTimer(parent, 1, 20, nullptr);
        const int result = RunSaverWindow(parent);
        const HWND preview = saverHost.saverWindow;
        KillTimer(parent, 1);
        DestroyWindow(parent);
        PumpMessages();
        gRun = nullptr;
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(run.failure.empty()) << width << "x" << height << ": " << run.failure;
        EXPECT_EQ(run.framesChecked, frames);
        EXPECT_EQ(FindSaverWindowState(preview), nullptr) << "the state is freed at destruction";
    }
};

TEST_F(ReliefPreview, FramesMatchTheEffectLogicIncludingPaddedRows)
{
    // The display-settings preview, odd widths and heights, a tiny window.
    WriteSettings("[ScreenSaver.Ondrels]\r\nDelay=5000\r\nColorCount=32\r\nSoften=2\r\n");
    RunAndCompare(152, 112, 25);
    RunAndCompare(151, 113, 25);
    RunAndCompare(97, 61, 20);
    RunAndCompare(13, 11, 10);
}

TEST_F(ReliefPreview, ChosenColourAndInvertFromTheSettingsFile)
{
    WriteSettings("[ScreenSaver.Ondrels]\r\nDelay=5000\r\nUseColor=1\r\nRGB_Red=200\r\nRGB_Green=40\r\nRGB_Blue=90\r\n"
                  "Invert=1\r\nDegrees=360\r\nColorCount=128\r\nSoften=0\r\n");
    RunAndCompare(160, 120, 20);
}

TEST(ReliefSettingsFile, ReadThroughTheProfileApiAndWrittenInOrder)
{
    const std::string path = GetSettingsPath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".INI");
    WriteSettings("[ScreenSaver.Ondrels]\r\nColorCount=100\r\nDelay=9\r\nDegrees=720\r\nSoften=-2\r\nUseColor=0\r\nRGB_Red=5\r\n");
    LoadReliefSettingsFromProfile();
    EXPECT_EQ(gReliefSettings.ColorCount, 100);
    EXPECT_EQ(gReliefSettings.Delay, 1000);
    EXPECT_EQ(gReliefSettings.Degrees, 720);
    EXPECT_EQ(gReliefSettings.Soften, -2);
    EXPECT_EQ(gReliefSettings.RGB_Red, 0);

    std::remove(path.c_str());
    LoadReliefSettingsFromProfile();
    EXPECT_EQ(gReliefSettings.Degrees, 10);
    EXPECT_EQ(gReliefSettings.Delay, 1000);
    EXPECT_EQ(gReliefSettings.ColorCount, 64);

    gReliefSettings.UseColor = 1;
    gReliefSettings.RGB_Red = 7;
    gReliefSettings.Invert = 3;
    SaveReliefSettingsToProfile();
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const char* order[] = {"Degrees=10", "Invert=1", "UseColor=1", "ColorCount=64", "Delay=1000", "Soften=1", "RGB_Red=7", "RGB_Green=0", "RGB_Blue=0"};
    std::size_t at = 0;
    for (const char* key : order) {
        const std::size_t found = text.find(key, at);
        ASSERT_NE(found, std::string::npos) << key << " in\n" << text;
        at = found;
    }
    LoadReliefSettingsFromProfile();
    EXPECT_EQ(gReliefSettings.RGB_Red, 7);
    std::remove(path.c_str());
}

// Reading the settings makes no folder; the first setting that has to go to
// the user's file makes the folders it lies in, and is read back from there.
TEST(ReliefSettingsFile, ReadingMakesNoFolderAndTheFirstWriteToTheUsersFileMakesIt)
{
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string root = std::string(temp) + "relief-user-" + std::to_string(GetCurrentProcessId());
    const std::string userFile = root + "\\Application Data\\ondrels.INI";
    // A folder where the file beside the program should be: nothing can be
    // written there.
    const std::string programFile = root + "-program.INI";
    ASSERT_TRUE(CreateDirectoryA(programFile.c_str(), nullptr));
    {
        SaverSettingsStore store(programFile, userFile);
        EXPECT_EQ(LoadReliefSettings(store).Delay, 1000);
        EXPECT_EQ(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES) << "reading made a folder";
        ReliefSettings settings;
        settings.Delay = 40;
        SaveReliefSettings(store, settings);
        EXPECT_EQ(store.Path(), userFile);
    }
    SaverSettingsStore again(programFile, userFile);
    EXPECT_EQ(LoadReliefSettings(again).Delay, 40) << "read back from the user's file";
    DeleteFileA(userFile.c_str());
    RemoveDirectoryA((root + "\\Application Data").c_str());
    RemoveDirectoryA(root.c_str());
    RemoveDirectoryA(programFile.c_str());
}

TEST(SnapProgramPath, BesideTheProgramOrNoneWhenThePathCannotNameIt)
{
    // Shell characters are letters here: nothing but the system reads the path.
    EXPECT_EQ(BuildSnapProgramPath("C:\\My Savers & 100% %OS%\\ondrels.scr"), "C:\\My Savers & 100% %OS%\\snap.exe");
    EXPECT_EQ(BuildSnapProgramPath("\\\\server\\share\\ondrels.scr"), "\\\\server\\share\\snap.exe");
    EXPECT_EQ(BuildSnapProgramPath("d:\\ondrels.scr"), "d:\\snap.exe");
    // A full-width quotation mark or a letter the code page lacks, and paths
    // that are not full, which the system would search for.
    for (const char* program : {"C:\\Savers \"new\"\\ondrels.scr", "C:\\Savers ?\\ondrels.scr", "\\\\?\\C:\\Savers\\ondrels.scr",
                                "ondrels.scr", "Savers\\ondrels.scr", "\\Savers\\ondrels.scr", "C:ondrels.scr", ""})
        EXPECT_EQ(BuildSnapProgramPath(program), "") << program;
}

// The palettes a window makes.
std::vector<HPALETTE> madePalettes;
HPALETTE WINAPI RecordMadePalette(const LOGPALETTE* description)
{
    madePalettes.push_back(CreatePalette(description));
    return madePalettes.back();
}

// On a palette-based display the ramp's palette is selected and realized in
// the window's private context for every frame, and made once for the run;
// the palette found there is back after each message, so the ramp's is
// selected nowhere when it is deleted with the window.
TEST(ReliefPalette, PutOutOfThePrivateContextBeforeItIsDeleted)
{
    HWND window = CreateOwnDcWindow(64, 48);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    const HGDIOBJ found = GetCurrentObject(dc, OBJ_PAL);
    madePalettes.clear();
    SetSaverPaletteMakerForTesting(&RecordMadePalette);
    SetSaverPaletteDisplayForTesting(1);
    ScreenSaverProc(window, WM_CREATE, 0, 0);
    SetSaverPaletteDisplayForTesting(-1);
    ASSERT_EQ(madePalettes.size(), 1u) << "the ramp's palette is made at creation";
    const HPALETTE ramp = madePalettes.front();
    EXPECT_EQ(GetObjectType(ramp), static_cast<DWORD>(OBJ_PAL));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), found) << "the palette found is back after creation";
    for (int frame = 0; frame < 3; ++frame) ScreenSaverProc(window, WM_TIMER, 7, 0);
    EXPECT_EQ(madePalettes.size(), 1u) << "frames use the palette made at creation";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), found) << "the palette found is back after a frame";
    EXPECT_EQ(GetObjectType(ramp), static_cast<DWORD>(OBJ_PAL));
    ScreenSaverProc(window, WM_DESTROY, 0, 0);
    SetSaverPaletteMakerForTesting(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), found) << "the palette found is back";
    EXPECT_EQ(GetObjectType(ramp), 0u) << "the ramp's palette is deleted";
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
