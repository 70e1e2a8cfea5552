// The real kesmar.scr, started as the system starts it: full screen with its
// settings file beside it, where landscapes in the grey scheme follow one
// another, a wipe between them, until a key ends it; the settings dialog and
// the exit code of each way out of it; its resources and exports.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/host/saver_under_test.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/win32/window_pixels.h"

using dialog_test::BinDirectory;
using dialog_test::FileExists;
using dialog_test::ReadFile;

namespace {

// A copy of kesmar.scr in a directory of its own, with the settings file
// text beside it (none for an empty text).
struct KesmarCopy {
    std::string directory, program, settings;
    KesmarCopy(const std::string& name, const std::string& settingsText)
        : directory("C:\\kesmar-e2e\\" + name), program(directory + "\\kesmar.scr"), settings(directory + "\\kesmar.INI")
    {
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

namespace {

enum class Leave { OkButton, AnnulerButton, CloseBox, EnterKey, EscapeKey };

struct DialogCase {
    const char* name;
    Leave leave;
    const char* settingsText; // the settings file before, "" for none
    DWORD exitCode;
};

class KesmarDialog : public ::testing::TestWithParam<DialogCase> {};

} // namespace

TEST_P(KesmarDialog, EndsWithItsCodeAndWritesNothing)
{
    const DialogCase& c = GetParam();
    KesmarCopy copy(std::string("dialog-") + c.name, c.settingsText);
    SaverProcess saver;
    SaverStart start;
    start.tail = "/c";
    std::string error;
    ASSERT_TRUE(saver.Start(copy.program, start, &error)) << error;
    const HWND dialog = saver.WaitForTopLevelWindow("#32770", kStartTimeoutMs);
    ASSERT_NE(dialog, nullptr) << "no settings dialog appeared";
    char text[64] = {};
    GetDlgItemTextA(dialog, 1010, text, sizeof text);
    EXPECT_STREQ(text, "&OK");
    GetDlgItemTextA(dialog, 1011, text, sizeof text);
    EXPECT_STREQ(text, "&Annuler");

    const HWND ok = GetDlgItem(dialog, 1010);
    switch (c.leave) {
    case Leave::OkButton: PostMessageA(ok, BM_CLICK, 0, 0); break;
    case Leave::AnnulerButton: PostMessageA(GetDlgItem(dialog, 1011), BM_CLICK, 0, 0); break;
    case Leave::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    // The keys go to the button that has the focus, as typed.
    case Leave::EnterKey: PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 1); break;
    case Leave::EscapeKey: PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 1); break;
    }
    DWORD code = 0xFFu;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << "the dialog did not end";
    EXPECT_EQ(code, c.exitCode);
    if (*c.settingsText == '\0') {
        EXPECT_FALSE(FileExists(copy.settings));
    } else {
        EXPECT_EQ(ReadFile(copy.settings), c.settingsText);
    }
}

INSTANTIATE_TEST_SUITE_P(WaysOut, KesmarDialog, ::testing::Values(
    DialogCase{"OkButton", Leave::OkButton, "", 1},
    DialogCase{"OkButtonKeepsTheFile", Leave::OkButton, "[ScreenSaver.Kesmar]\r\nSpeed=3\r\nColor=6\r\n", 1},
    DialogCase{"AnnulerButton", Leave::AnnulerButton, "", 0},
    DialogCase{"CloseBox", Leave::CloseBox, "[ScreenSaver.Kesmar]\r\nSpeed=3\r\n", 0},
    DialogCase{"EnterKey", Leave::EnterKey, "", 1},
    DialogCase{"EscapeKey", Leave::EscapeKey, "", 0}),
    [](const ::testing::TestParamInfo<DialogCase>& tested) { return std::string(tested.param.name); });

TEST(KesmarProgram, ResourcesAndExports)
{
    HMODULE saver = LoadLibraryExA((BinDirectory() + "kesmar.scr").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(saver, nullptr);
    char text[64] = {};
    ASSERT_GT(LoadStringA(saver, 1, text, sizeof text), 0);
    EXPECT_STREQ(text, "Kesmar ScreenSaver");
    EXPECT_NE(GetProcAddress(saver, "ScreenSaverProc"), nullptr);
    EXPECT_NE(GetProcAddress(saver, "ScreenSaverConfigureDialog"), nullptr);
    EXPECT_NE(FindResourceA(saver, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)), nullptr); // dialog 2003
    // Exactly one manifest, id 1, the DPI-aware one.
    int manifests = 0;
    EnumResourceNamesA(saver, MAKEINTRESOURCEA(24), [](HMODULE, LPCSTR, LPSTR, LONG_PTR count) -> BOOL {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
    }, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1);
    HRSRC manifest = FindResourceA(saver, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const char* manifestText = static_cast<const char*>(LockResource(LoadResource(saver, manifest)));
    const std::string manifestString(manifestText, SizeofResource(saver, manifest));
    EXPECT_NE(manifestString.find("<dpiAware"), std::string::npos);
    FreeLibrary(saver);
}
