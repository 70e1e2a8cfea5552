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

#include "tests/relief_win32/ondrels_run.h"

using namespace ondrels_run;

namespace {

const char kSettings[] = "[ScreenSaver.Ondrels]\r\nDelay=1500\r\nColorCount=48\r\nSoften=2\r\nDegrees=200\r\n";

} // namespace

TEST(OndrelsProgram, SnapshotFilePictureAppearsInTheRelief)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, Helper::StandIn, kSettings, "0"); // a helper that succeeds and leaves the file as placed
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
    DWORD seed = 0;
    EXPECT_GE(CountMatchingSeeds(run, screen, settings, picture, &seed), 1);
    RecordReliefFrame(run, screen, kSettings, seed);
    // The same frame over a black picture differs: the picture is what shows.
    const std::vector<std::uint8_t> black(picture.size(), 0);
    EXPECT_EQ(CountMatchingSeeds(run, screen, settings, black), 0);
}

TEST(OndrelsProgram, ShortSnapshotIsBlackWhereItEnds)
{
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, Helper::StandIn, kSettings, "0");
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

TEST(OndrelsProgram, MissingSnapshotFallsBackToACopyOfTheScreenWithTheSettingsWhereverKept)
{
    // The settings beside the program, or, where that file cannot be
    // written (a directory stands at its path), in the user's own file.
    const Screen screen;
    const std::string userSettings = GetUserSettingsFolder() + "ondrels.INI";
    for (const bool keptForTheUser : {false, true}) {
        SCOPED_TRACE(keptForTheUser ? "settings kept for the user" : "settings beside the program");
        const std::string directory = keptForTheUser ? "C:\\ondrels-e2e\\usersettings" : "C:\\ondrels-e2e\\nosnap";
        const std::string besideProgram = directory + "\\ondrels.INI";
        RemoveDirectoryA(besideProgram.c_str());
        InstallSaver(directory, Helper::None, keptForTheUser ? "" : kSettings);
        if (keptForTheUser) {
            DeleteFileA(besideProgram.c_str());
            ASSERT_TRUE(CreateDirectoryA(besideProgram.c_str(), nullptr));
            std::ofstream out(userSettings, std::ios::binary | std::ios::trunc);
            out << kSettings;
        }
        DeleteFileA(kSnapshot);
        // Something to copy: a window with a known picture over the whole screen.
        const auto picture = PatternPicture(screen.width, screen.height);
        HWND cover = CoverScreen(screen, picture);
        ASSERT_NE(cover, nullptr);
        SaverRun run;
        RunToFirstFrame(run, directory, directory, 15000);
        DestroyWindow(cover);
        DeleteFileA(userSettings.c_str());
        RemoveDirectoryA(besideProgram.c_str());
        ASSERT_TRUE(run.sawFrame);
        DWORD seed = 0;
        EXPECT_GE(CountMatchingSeeds(run, screen, SettingsFor(kSettings), picture, &seed), 1);
        if (!keptForTheUser) RecordReliefFrame(run, screen, kSettings, seed);
    }
}

TEST(OndrelsProgram, AModuleThatUnsettlesTheFloatingPointControlWordChangesNoFrame)
{
    // A hook in the saver's thread leaves the control word unsettled each
    // time the saver takes a message; the saver computes every frame as
    // designed all the same, and a key still ends it.
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, Helper::None, kSettings);
    DeleteFileA(kSnapshot);
    const auto picture = PatternPicture(screen.width, screen.height);
    HWND cover = CoverScreen(screen, picture);
    ASSERT_NE(cover, nullptr);
    HMODULE hookModule = LoadLibraryA((BinDirectory() + "floating_point_hook.dll").c_str());
    ASSERT_NE(hookModule, nullptr);
    const auto hookProcedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hookModule, "UnsettleFloatingPoint")));
    ASSERT_NE(hookProcedure, nullptr);
    SaverRun run;
    run.Start(directory, directory);
    // The first frame comes one Delay (1.5 s) after the window is shown,
    // when its creation is over: the hook is in place well before it.
    // The test's own messages go on meanwhile: Wine shows what the cover
    // drew only as its thread takes its messages.
    HWND saver = nullptr;
    for (DWORD begin = GetTickCount(); (saver == nullptr || !IsWindowVisible(saver)) && GetTickCount() - begin < 15000; Sleep(10)) {
        PumpMessages();
        saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    }
    ASSERT_NE(saver, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProcedure, hookModule, GetWindowThreadProcessId(saver, nullptr));
    ASSERT_NE(hook, nullptr);
    PostMessageA(saver, WM_NULL, 0, 0); // the hook's first call
    run.WaitForFirstFrame(screen, 15000);
    Sleep(500); // several more frames under the hook
    DWORD running = 0;
    GetExitCodeProcess(run.process.hProcess, &running);
    EXPECT_EQ(running, STILL_ACTIVE) << "the saver faulted";
    EXPECT_EQ(run.Close(), 0u);
    UnhookWindowsHookEx(hook);
    FreeLibrary(hookModule);
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
    InstallSaver(directory, Helper::Snap, kSettings);
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
