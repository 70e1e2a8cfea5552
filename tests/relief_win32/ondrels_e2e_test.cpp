// The real ondrels.scr, started full screen as the system starts it: the
// snapshot picture appears in the relief, a missing snapshot falls back to a
// copy of the screen, and a saver installed in a directory whose name holds
// a space and "&" starts its snapshot helper and nothing else.
//
// The saver seeds its generator with the tick count at window creation, which
// a test cannot fix from outside. The first frame tells where the lens square
// landed; every tick count between the start and that frame is tried, and the
// frame computed by the effect logic for a matching seed must equal the screen
// pixel for pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/software_surface.h"
#include "common/win32/profile_settings_store.h"
#include "relief/relief_life.h"
#include "tests/win32/window_pixels.h"

namespace {

const char kSnapshot[] = "C:\\snapwnd.dat";

std::string BinDirectory()
{
    std::string path = GetModulePath(nullptr);
    return path.substr(0, path.find_last_of('\\') + 1);
}

void MakeDirectories(const std::string& path)
{
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

// Copies ondrels.scr (and snap.exe when asked) into directory, with settings.
void InstallSaver(const std::string& directory, bool withSnap, const std::string& settings)
{
    MakeDirectories(directory);
    ASSERT_TRUE(CopyFileA((BinDirectory() + "ondrels.scr").c_str(), (directory + "\\ondrels.scr").c_str(), FALSE));
    if (withSnap) {
        ASSERT_TRUE(CopyFileA((BinDirectory() + "snap.exe").c_str(), (directory + "\\snap.exe").c_str(), FALSE));
    }
    std::ofstream out(directory + "\\ondrels.INI", std::ios::binary | std::ios::trunc);
    out << settings;
}

struct Screen {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<std::uint32_t> Read() const { return ReadWindowPixels(nullptr, width, height); }
};

// The lens square on a screen that was black before: its corners are the
// ramp's first colour, never pure black. Returns false when nothing is drawn.
bool FindSquare(const std::vector<std::uint32_t>& pixels, int width, int height, RECT& box)
{
    box = {width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y * width + x)] == 0) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box.right > 0;
}

struct SaverRun {
    PROCESS_INFORMATION process{};
    DWORD startTick = 0;
    DWORD frameTick = 0;
    std::vector<std::uint32_t> firstFrame;
    bool sawFrame = false;

    void Start(const std::string& directory, const std::string& workingDirectory)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + directory + "\\ondrels.scr\" /s";
        startTick = GetTickCount();
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workingDirectory.c_str(), &startup, &process));
    }

    // Waits for the first lens square, up to timeoutMs: first the saver's
    // black window over the whole screen, then the square on it.
    void WaitForFirstFrame(const Screen& screen, DWORD timeoutMs)
    {
        bool sawBlack = false;
        const DWORD begin = GetTickCount();
        while (GetTickCount() - begin < timeoutMs) {
            PumpMessages();
            std::vector<std::uint32_t> pixels = screen.Read();
            RECT box;
            const bool drawn = FindSquare(pixels, screen.width, screen.height, box);
            if (!drawn) {
                sawBlack = true;
            } else if (sawBlack) {
                frameTick = GetTickCount();
                firstFrame.swap(pixels);
                sawFrame = true;
                return;
            }
            Sleep(20);
        }
    }

    // Closes the saver as a user would (a key) and returns its exit code.
    DWORD Close()
    {
        if (process.hProcess == nullptr) return 0xFFFFFFFFu;
        HWND window = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
        if (window != nullptr) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
        return code;
    }
    ~SaverRun() { Close(); }
};

// Starts the saver installed in directory full screen, waits for its first
// frame and ends it with a key, as a user would (exit code 0).
void RunToFirstFrame(SaverRun& run, const std::string& directory, const std::string& workingDirectory, DWORD timeoutMs)
{
    run.Start(directory, workingDirectory);
    run.WaitForFirstFrame(Screen(), timeoutMs);
    EXPECT_EQ(run.Close(), 0u);
}

// The seeds between the start and the first frame whose first path position
// puts the square where the screen shows it, and whose whole first frame then
// equals the screen. Returns the number of seeds that gave the full frame.
int CountMatchingSeeds(const SaverRun& run, const Screen& screen, const ReliefSettings& settings, const std::vector<std::uint8_t>& picture)
{
    RECT box;
    if (!FindSquare(run.firstFrame, screen.width, screen.height, box)) return 0;
    const int size = screen.height / 2;
    int matches = 0;
    for (DWORD seed = run.startTick - 50; seed != run.frameTick + 1; ++seed) {
        // The path alone first: cheap, and it rules out nearly every seed.
        ReliefState probe;
        RuntimeRandom random;
        SeedRuntimeRandom(random, seed);
        if (settings.UseColor == 0) {
            DrawRuntimeRandom(random);
            DrawRuntimeRandom(random);
            DrawRuntimeRandom(random);
        }
        probe.lens.centerX = static_cast<std::uint16_t>(screen.width / 2);
        probe.lens.centerY = static_cast<std::uint16_t>(screen.height / 2);
        probe.lens.lensSize = 0; // no map needed to follow the path
        BuildLensMap(probe.lens, 2, settings.Degrees, random);
        probe.lens.lensHalf = static_cast<std::uint16_t>(size / 2);
        const ReliefPathPosition p = StepLightPath(probe.lens, random);
        const int top = screen.height / 2 - p.py;
        if (p.px != box.left || std::max(top, 0) != box.top) continue;

        ReliefState state;
        InitRelief(state, settings, random, seed, screen.width, screen.height, 0, picture.data(), picture.size());
        SoftwareSurface surface(screen.width, screen.height);
        TickRelief(state, random, surface);
        if (surface.pixels == run.firstFrame) ++matches;
    }
    return matches;
}

std::vector<std::uint8_t> PatternPicture(int width, int height)
{
    // Bottom-up BGR: bright bands and dark blocks, so slopes show in the relief.
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool bright = ((x / 23) + (y / 17)) % 3 == 0;
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
            picture[at] = static_cast<std::uint8_t>(bright ? 250 : x % 40);
            picture[at + 1] = static_cast<std::uint8_t>(bright ? 240 : y % 60);
            picture[at + 2] = static_cast<std::uint8_t>(bright ? 230 : 10);
        }
    }
    return picture;
}

ReliefSettings SettingsFor(const std::string& text)
{
    const std::string path = BinDirectory() + "e2e_settings_probe.INI";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    ProfileSettingsStore store(path);
    const ReliefSettings settings = LoadReliefSettings(store);
    DeleteFileA(path.c_str());
    return settings;
}

const char kSettings[] = "[ScreenSaver.Ondrels]\r\nDelay=1500\r\nColorCount=48\r\nSoften=2\r\nDegrees=200\r\n";

} // namespace

TEST(OndrelsProgram, SnapshotFilePictureAppearsInTheRelief)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, false, kSettings); // no helper: the file stays as placed
    const auto picture = PatternPicture(screen.width, screen.height);
    DeleteFileA(kSnapshot);
    {
        std::ofstream out(kSnapshot, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    }
    // The saver only reads the file: a read-only snapshot serves as well.
    ASSERT_TRUE(SetFileAttributesA(kSnapshot, FILE_ATTRIBUTE_READONLY));
    SaverRun run;
    RunToFirstFrame(run, directory, directory, 15000);
    SetFileAttributesA(kSnapshot, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(kSnapshot);
    ASSERT_TRUE(run.sawFrame);
    const ReliefSettings settings = SettingsFor(kSettings);
    EXPECT_GE(CountMatchingSeeds(run, screen, settings, picture), 1);
    // The same frame over a black picture differs: the picture is what shows.
    const std::vector<std::uint8_t> black(picture.size(), 0);
    EXPECT_EQ(CountMatchingSeeds(run, screen, settings, black), 0);
}

TEST(OndrelsProgram, ShortSnapshotIsBlackWhereItEnds)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, false, kSettings);
    auto picture = PatternPicture(screen.width, screen.height);
    const std::size_t kept = picture.size() / 2 + 7; // ends inside a pixel
    {
        std::ofstream out(kSnapshot, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(kept));
    }
    std::fill(picture.begin() + static_cast<std::ptrdiff_t>(kept), picture.end(), 0);
    SaverRun run;
    RunToFirstFrame(run, directory, directory, 15000);
    DeleteFileA(kSnapshot);
    ASSERT_TRUE(run.sawFrame);
    EXPECT_GE(CountMatchingSeeds(run, screen, SettingsFor(kSettings), picture), 1);
}

TEST(OndrelsProgram, HungSnapshotHelperDoesNotKeepTheSaverFromStarting)
{
    const std::string directory = "C:\\ondrels-e2e\\hungsnap";
    InstallSaver(directory, false, kSettings);
    // A helper that never finishes in time (it gives up by itself later).
    ASSERT_TRUE(CopyFileA((BinDirectory() + "slow_snap.exe").c_str(), (directory + "\\snap.exe").c_str(), FALSE));
    SaverRun run;
    RunToFirstFrame(run, directory, directory, 20000);
    EXPECT_TRUE(run.sawFrame);
    // The wait is limited, not skipped: the first frame comes after it.
    EXPECT_GE(run.frameTick - run.startTick, 5000u);
}

TEST(OndrelsProgram, ResourcesAndExports)
{
    HMODULE saver = LoadLibraryExA((BinDirectory() + "ondrels.scr").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(saver, nullptr);
    char text[64] = {};
    ASSERT_GT(LoadStringA(saver, 1, text, sizeof text), 0);
    EXPECT_STREQ(text, "Ondrels ScreenSaver");
    EXPECT_NE(GetProcAddress(saver, "ScreenSaverProc"), nullptr);
    EXPECT_NE(GetProcAddress(saver, "ScreenSaverConfigureDialog"), nullptr);
    EXPECT_EQ(FindResourceA(saver, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14)), nullptr); // no icon 100
    EXPECT_NE(FindResourceA(saver, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)), nullptr); // dialog 2003
    HRSRC manifest = FindResourceA(saver, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const char* manifestText = static_cast<const char*>(LockResource(LoadResource(saver, manifest)));
    const std::string manifestString(manifestText, SizeofResource(saver, manifest));
    EXPECT_NE(manifestString.find("<dpiAware"), std::string::npos);
    FreeLibrary(saver);
}

TEST(OndrelsProgram, MissingSnapshotFallsBackToACopyOfTheScreen)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, false, kSettings);
    DeleteFileA(kSnapshot);
    // Something to copy: a window with a known picture over the whole screen.
    const auto picture = PatternPicture(screen.width, screen.height);
    HWND cover = CreatePlainWindow(screen.width, screen.height);
    ASSERT_NE(cover, nullptr);
    {
        HDC dc = GetDC(cover);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = screen.width;
        info.bmiHeader.biHeight = screen.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        // Rows of a width whose 3 x width is a multiple of 4 need no padding.
        ASSERT_EQ(screen.width * 3 % 4, 0);
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(screen.width), static_cast<DWORD>(screen.height), 0, 0, 0,
                          static_cast<UINT>(screen.height), picture.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(cover, dc);
    }
    GdiFlush();
    SaverRun run;
    RunToFirstFrame(run, directory, directory, 15000);
    DestroyWindow(cover);
    ASSERT_TRUE(run.sawFrame);
    EXPECT_GE(CountMatchingSeeds(run, screen, SettingsFor(kSettings), picture), 1);
}

TEST(OndrelsProgram, DirectoryWithSpaceAndAmpersandStartsOnlyTheSnapshotHelper)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\my savers & mkdir injected";
    const std::string workingDirectory = "C:\\ondrels-e2e\\cwd";
    MakeDirectories(workingDirectory);
    RemoveDirectoryA((workingDirectory + "\\injected\\snap.exe").c_str());
    RemoveDirectoryA((workingDirectory + "\\injected").c_str());
    InstallSaver(directory, true, kSettings);
    DeleteFileA(kSnapshot);
    SaverRun run;
    RunToFirstFrame(run, directory, workingDirectory, 15000);
    EXPECT_TRUE(run.sawFrame);
    // The helper ran from the saver's directory and wrote the screen picture.
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ASSERT_TRUE(GetFileAttributesExA(kSnapshot, GetFileExInfoStandard, &attributes));
    EXPECT_EQ(attributes.nFileSizeLow, static_cast<DWORD>(screen.width * screen.height * 3));
    // Nothing after the "&" ran as a command.
    EXPECT_EQ(GetFileAttributesA((workingDirectory + "\\injected").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((directory + "\\injected").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(kSnapshot);
}
