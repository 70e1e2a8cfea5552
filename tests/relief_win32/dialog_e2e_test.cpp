// The relief saver's settings dialog in the real ondrels.scr, opened as the
// display settings open it (/c, or no command line) and used through its
// controls: what it shows after loading, slider feedback, the colour choice
// with its swatch and preview, OK writing the settings, the ways out that
// write nothing, and the saver reading what the dialog saved.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>

#include "dialog_driver.h"
#include "relief/relief_dialog_logic.h"
#include "relief/relief_state.h"

using namespace dialog_test;

namespace {

constexpr int kPreview = 1002, kDelayLabel = 1004, kSoftenLabel = 1005, kOk = 1010, kCancel = 1011, kDelay = 1012,
              kInvert = 1013, kDegrees = 1015, kMail = 1016, kHomePage = 1017, kColors = 1018, kSoften = 1019,
              kRandom = 1036, kChosen = 1037, kSwatch = 1038, kColorsLabel = 1039;

std::string Settings(const std::string& lines) { return "[ScreenSaver.Ondrels]\r\n" + lines; }

// An opened dialog of one run of the program.
struct OpenDialog {
    ProgramRun run;
    HWND dialog = nullptr;

    OpenDialog(const SaverCopy& copy, const std::string& arguments, HWND owner = nullptr)
    {
        if (!run.Start(copy.program, arguments)) return;
        dialog = WaitForDialog(run.Id(), kDialogTitle, owner, 15000);
        if (dialog != nullptr) Settle(dialog);
    }
};

std::vector<std::string> Written(int degrees, int invert, int useColor, int colorCount, int delay, int soften, int red, int green, int blue)
{
    return {"Degrees=" + std::to_string(degrees), "Invert=" + std::to_string(invert), "UseColor=" + std::to_string(useColor),
            "ColorCount=" + std::to_string(colorCount), "Delay=" + std::to_string(delay), "Soften=" + std::to_string(soften),
            "RGB_Red=" + std::to_string(red), "RGB_Green=" + std::to_string(green), "RGB_Blue=" + std::to_string(blue)};
}

// A file that had keys before keeps them where they were: the same nine
// keys and values, in any order.
std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The preview strip as drawn on the screen, checked against the bands the
// dialog should draw for that base colour and count.
void ExpectPreview(HWND dialog, std::uint32_t base, std::int32_t count)
{
    HWND preview = Item(dialog, kPreview);
    const RECT area = ClientScreenRect(preview);
    const int width = area.right - area.left;
    const std::vector<std::uint32_t> pixels = ScreenPixels(area);
    const PalettePreview expected = ComputePalettePreview(base, count, width);
    int wrong = 0;
    for (int y = 0; y < area.bottom - area.top; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y * width + x)] != ScreenColor(PalettePreviewColorAt(expected, x)) && wrong++ < 3)
                ADD_FAILURE() << "preview pixel " << x << "," << y << " is " << std::hex << pixels[static_cast<std::size_t>(y * width + x)];
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << width << " x " << area.bottom - area.top << " preview pixels for " << count << " colours";
}

// The swatch's face (inside its frame) shows the base colour.
void ExpectSwatch(HWND dialog, std::uint32_t base)
{
    const RECT area = ClientScreenRect(Item(dialog, kSwatch));
    const RECT face = {area.left + 3, area.top + 3, area.right - 5, area.bottom - 5};
    const std::vector<std::uint32_t> pixels = ScreenPixels(face);
    ASSERT_FALSE(pixels.empty());
    for (std::uint32_t p : pixels) ASSERT_EQ(p, ScreenColor(base));
}

TEST(ReliefDialog, NoSettingsFileShowsTheDefaultsAndOkWritesThemAll)
{
    SaverCopy copy("defaults");
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);

    // Degrees 10 is below the slider's range: the thumb stays at 180.
    EXPECT_EQ(SliderPosition(d, kDegrees), 180);
    EXPECT_EQ(SliderPosition(d, kColors), 5);
    EXPECT_EQ(SliderPosition(d, kSoften), 1);
    EXPECT_EQ(SliderPosition(d, kDelay), 1000);
    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "64 colors");
    EXPECT_EQ(TextOf(Item(d, kDelayLabel)), "Delay (1000 ms)");
    EXPECT_EQ(TextOf(Item(d, kSoftenLabel)), "Soften");
    EXPECT_EQ(IsDlgButtonChecked(d, kInvert), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kRandom), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kChosen), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(IsWindowVisible(Item(d, kSwatch)));
    EXPECT_FALSE(IsWindowVisible(Item(d, kPreview)));
    EXPECT_TRUE(IsWindowVisible(Item(d, kMail)));
    EXPECT_EQ(TextOf(Item(d, kMail)), "ondrels@example.org");
    EXPECT_FALSE(IsWindowVisible(Item(d, kHomePage)));
    EXPECT_EQ(TextOf(Item(d, kHomePage)), "http://ondrels.example.org/");

    // Ranges, pages and lines as set up.
    struct Expected { int id, low, high, page, line; };
    for (const Expected& e : {Expected{kDegrees, 180, 360, 30, 1}, Expected{kColors, 1, 6, 2, 1}, Expected{kSoften, 1, 8, 2, 1},
                              Expected{kDelay, 10, 5000, 500, 100}}) {
        HWND slider = Item(d, e.id);
        EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), e.low) << e.id;
        EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), e.high) << e.id;
        EXPECT_EQ(SendMessageA(slider, TBM_GETPAGESIZE, 0, 0), e.page) << e.id;
        EXPECT_EQ(SendMessageA(slider, TBM_GETLINESIZE, 0, 0), e.line) << e.id;
    }

    PostClick(d, kOk);
    EXPECT_EQ(opened.run.Wait(10000), 1u);
    EXPECT_EQ(SettingsLines(copy.settings), Written(180, 0, 0, 64, 1000, 1, 0, 0, 0));
}

TEST(ReliefDialog, OddStoredValuesShowAtTheSliderEndsAndSaveAsShown)
{
    SaverCopy copy("odd", Settings("ColorCount=100\r\nDelay=9\r\nDegrees=400\r\nSoften=0\r\nInvert=1\r\nUseColor=1\r\n"
                                   "RGB_Red=10\r\nRGB_Green=20\r\nRGB_Blue=30\r\n"));
    OpenDialog opened(copy, ""); // the empty command line opens the dialog too
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);

    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "100 colors"); // the stored count, not the slider's
    EXPECT_EQ(SliderPosition(d, kColors), 6);
    EXPECT_EQ(TextOf(Item(d, kDelayLabel)), "Delay (1000 ms)"); // 9 is read as 1000
    EXPECT_EQ(SliderPosition(d, kDelay), 1000);
    EXPECT_EQ(SliderPosition(d, kDegrees), 360);
    EXPECT_EQ(SliderPosition(d, kSoften), 1);
    EXPECT_EQ(IsDlgButtonChecked(d, kInvert), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kChosen), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kRandom), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_TRUE(IsWindowVisible(Item(d, kSwatch)));
    EXPECT_TRUE(IsWindowVisible(Item(d, kPreview)));

    // Slider feedback in the labels.
    MoveSlider(d, kColors, 1);
    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "4 colors");
    MoveSlider(d, kColors, 6);
    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "128 colors");
    MoveSlider(d, kDelay, 250);
    EXPECT_EQ(TextOf(Item(d, kDelayLabel)), "Delay (250 ms)");
    MoveSlider(d, kDegrees, 270);
    MoveSlider(d, kSoften, 5);
    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "128 colors"); // other sliders leave the labels alone
    EXPECT_EQ(TextOf(Item(d, kDelayLabel)), "Delay (250 ms)");

    PostClick(d, kOk);
    EXPECT_EQ(opened.run.Wait(10000), 1u);
    EXPECT_EQ(Sorted(SettingsLines(copy.settings)), Sorted(Written(270, 1, 1, 128, 250, 5, 10, 20, 30)));
}

TEST(ReliefDialog, InvertOtherThanOneShowsUncheckedAndSavesZero)
{
    SaverCopy copy("invert", Settings("Invert=2\r\nColorCount=8\r\nSoften=12\r\n"));
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(d, kInvert), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(SliderPosition(d, kColors), 2);
    EXPECT_EQ(SliderPosition(d, kSoften), 8);
    Click(d, kInvert);
    Click(d, kInvert);
    EXPECT_EQ(IsDlgButtonChecked(d, kInvert), static_cast<UINT>(BST_UNCHECKED));
    PostClick(d, 1010);
    EXPECT_EQ(opened.run.Wait(10000), 1u);
    EXPECT_EQ(Sorted(SettingsLines(copy.settings)), Sorted(Written(180, 0, 0, 8, 1000, 8, 0, 0, 0)));
}

TEST(ReliefDialog, RadioButtonsShowAndHideTheSwatchAndThePreview)
{
    SaverCopy copy("radio");
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);

    Click(d, kChosen);
    Settle(d);
    EXPECT_EQ(IsDlgButtonChecked(d, kChosen), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kRandom), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_TRUE(IsWindowVisible(Item(d, kSwatch)));
    EXPECT_TRUE(IsWindowVisible(Item(d, kPreview)));
    // Random at load leaves a black base colour: a black swatch and greys
    // from (1, 1, 1) up to (233, 233, 233) over 64 bands.
    ExpectSwatch(d, 0);
    ExpectPreview(d, 0, 64);
    // The preview follows the Colors slider.
    MoveSlider(d, kColors, 2);
    Settle(d);
    ExpectPreview(d, 0, 8);

    Click(d, kRandom);
    Settle(d);
    EXPECT_EQ(IsDlgButtonChecked(d, kRandom), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, kChosen), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(IsWindowVisible(Item(d, kSwatch)));
    EXPECT_FALSE(IsWindowVisible(Item(d, kPreview)));

    Click(d, kChosen);
    PostClick(d, kOk);
    EXPECT_EQ(opened.run.Wait(10000), 1u);
    EXPECT_EQ(SettingsLines(copy.settings), Written(180, 0, 1, 8, 1000, 1, 0, 0, 0));
}

TEST(ReliefDialog, PreviewBandsAndSwatchOfAKnownBaseColour)
{
    SaverCopy copy("known", Settings("UseColor=1\r\nRGB_Red=200\r\nRGB_Green=40\r\nRGB_Blue=10\r\nColorCount=4\r\n"));
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);
    const std::uint32_t base = MakeDialogColor(200, 40, 10);
    ExpectSwatch(d, base);
    ExpectPreview(d, base, 4);
    MoveSlider(d, kColors, 6);
    Settle(d);
    ExpectPreview(d, base, 128);
    PostClick(d, kCancel);
    EXPECT_EQ(opened.run.Wait(10000), 0u);
}

TEST(ReliefDialog, StoredCountOfZeroPreviewsTheSaversTwoColours)
{
    SaverCopy copy("zero", Settings("UseColor=1\r\nRGB_Red=30\r\nRGB_Green=60\r\nRGB_Blue=90\r\nColorCount=0\r\n"));
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(TextOf(Item(d, kColorsLabel)), "0 colors");
    ExpectPreview(d, MakeDialogColor(30, 60, 90), 0);
    EXPECT_TRUE(opened.run.Running());
    PostClick(d, kCancel);
    EXPECT_EQ(opened.run.Wait(10000), 0u);
}

const char kKeptSettings[] = "[ScreenSaver.Ondrels]\r\nColorCount=16\r\nDelay=300\r\n";

TEST(ReliefDialog, AnnulerWritesNothingAndExitsWithZero)
{
    SaverCopy copy("annuler", Settings("ColorCount=16\r\nDelay=300\r\n"));
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);
    MoveSlider(d, kColors, 1);
    MoveSlider(d, kDelay, 4000);
    Click(d, kChosen);
    PostClick(d, kCancel);
    EXPECT_EQ(opened.run.Wait(10000), 0u);
    EXPECT_EQ(ReadFile(copy.settings), kKeptSettings);
}

TEST(ReliefDialog, EscapeLeavesTheDialogOpenAndWritesNothing)
{
    SaverCopy copy("escape");
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);
    MoveSlider(d, kDelay, 20);
    SetForegroundWindow(d);
    HWND focus = Item(d, kDelay);
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
    // The command Esc makes, sent straight to the dialog, changes nothing either.
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Settle(d);
    EXPECT_TRUE(opened.run.Running());
    EXPECT_TRUE(IsWindow(d));
    EXPECT_FALSE(FileExists(copy.settings));
    PostClick(d, kCancel);
    EXPECT_EQ(opened.run.Wait(10000), 0u);
    EXPECT_FALSE(FileExists(copy.settings));
}

// A window of the test's own that the /c dialog takes as its owner.
HWND CreateOwnerWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ReliefDialogOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, "ReliefDialogOwner", "display settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    return owner;
}

void PumpFor(DWORD ms)
{
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < ms) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
}

TEST(ReliefDialog, CloseBoxEndsTheDialogWithZeroAndFreesItsOwner)
{
    SaverCopy copy("closebox", Settings("ColorCount=16\r\nDelay=300\r\n"));
    HWND owner = CreateOwnerWindow();
    ASSERT_NE(owner, nullptr);
    PumpFor(200);
    ProgramRun run;
    ASSERT_TRUE(run.Start(copy.program, "/c"));
    HWND d = nullptr;
    const DWORD begin = GetTickCount();
    while (d == nullptr && GetTickCount() - begin < 15000) {
        PumpFor(50);
        d = WaitForDialog(run.Id(), kDialogTitle, nullptr, 0);
    }
    ASSERT_NE(d, nullptr);
    PumpFor(200);
    const bool owned = GetWindow(d, GW_OWNER) == owner;
    if (owned) {
        EXPECT_FALSE(IsWindowEnabled(owner)); // the modal dialog holds its owner
    }
    MoveSlider(d, kDelay, 4000);
    PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 0xFFFFFFFFu;
    for (int i = 0; i < 200 && run.Running(); ++i) PumpFor(50);
    code = run.Wait(5000);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadFile(copy.settings), kKeptSettings);
    PumpFor(100);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(owned) << "the /c dialog should be owned by the foreground window";
    DestroyWindow(owner);
}

// The colour chooser of the other process, owned by the dialog.
HWND WaitForChooser(const OpenDialog& opened) { return WaitForDialog(opened.run.Id(), nullptr, opened.dialog, 10000); }

TEST(ReliefDialog, ColourChooserCancelledChangesNothingAndChosenColourIsSaved)
{
    SaverCopy copy("chooser", Settings("UseColor=1\r\nRGB_Red=200\r\nRGB_Green=40\r\nRGB_Blue=10\r\nColorCount=32\r\n"));
    OpenDialog opened(copy, "/c");
    HWND d = opened.dialog;
    ASSERT_NE(d, nullptr);

    PostClick(d, kSwatch);
    HWND chooser = WaitForChooser(opened);
    ASSERT_NE(chooser, nullptr) << "the swatch opens the colour chooser";
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDCANCEL)));
    for (int i = 0; i < 100 && IsWindow(chooser); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(chooser));
    Settle(d);
    ExpectSwatch(d, MakeDialogColor(200, 40, 10));

    // Again, now typing a colour into the chooser's red, green and blue boxes.
    PostClick(d, kSwatch);
    chooser = WaitForChooser(opened);
    ASSERT_NE(chooser, nullptr);
    Sleep(200);
    const int boxes[] = {706, 707, 708}; // red, green, blue
    const char* values[] = {"30", "120", "220"};
    for (int i = 0; i < 3; ++i) {
        HWND box = GetDlgItem(chooser, boxes[i]);
        ASSERT_NE(box, nullptr);
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(values[i]));
        SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(boxes[i], EN_UPDATE), reinterpret_cast<LPARAM>(box));
    }
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    for (int i = 0; i < 100 && IsWindow(chooser); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(chooser));
    Settle(d);
    const std::uint32_t chosen = MakeDialogColor(30, 120, 220);
    ExpectSwatch(d, chosen);
    ExpectPreview(d, chosen, 32);

    PostClick(d, kOk);
    EXPECT_EQ(opened.run.Wait(10000), 1u);
    EXPECT_EQ(Sorted(SettingsLines(copy.settings)), Sorted(Written(180, 0, 1, 32, 1000, 1, 30, 120, 220)));
}

TEST(ReliefDialog, TheSaverReadsWhatTheDialogSaved)
{
    SaverCopy copy("readback", Settings("UseColor=1\r\nRGB_Red=200\r\nRGB_Green=40\r\nRGB_Blue=10\r\nColorCount=100\r\n"));
    {
        OpenDialog opened(copy, "/c");
        ASSERT_NE(opened.dialog, nullptr);
        MoveSlider(opened.dialog, kColors, 1); // 4 colours: only the dialog can have written that
        MoveSlider(opened.dialog, kDelay, 100);
        PostClick(opened.dialog, kOk);
        ASSERT_EQ(opened.run.Wait(10000), 1u);
    }
    ASSERT_EQ(Sorted(SettingsLines(copy.settings)), Sorted(Written(180, 0, 1, 4, 100, 1, 200, 40, 10)));

    // Full screen: every lit pixel of the lens square is one of the four
    // ramp colours of the saved base colour.
    std::set<std::uint32_t> ramp;
    for (int i = 0; i <= 3; ++i)
        ramp.insert(ScreenColor(MakeDialogColor(RampChannel(200, i, 3), RampChannel(40, i, 3), RampChannel(10, i, 3))));
    ProgramRun saver;
    ASSERT_TRUE(saver.Start(copy.program, "/s"));
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bool sawSquare = false;
    std::size_t foreign = 0;
    const DWORD begin = GetTickCount();
    while (!sawSquare && GetTickCount() - begin < 20000) {
        Sleep(200);
        if (FindWindowA("WindowsScreenSaverClass", nullptr) == nullptr) continue;
        const std::vector<std::uint32_t> pixels = ScreenPixels(screen);
        const std::size_t lit = static_cast<std::size_t>(std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p != 0; }));
        if (lit < 1000) continue; // the black window, before the first frame
        sawSquare = true;
        foreign = static_cast<std::size_t>(std::count_if(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p != 0 && ramp.count(p) == 0; }));
    }
    HWND window = FindWindowA("WindowsScreenSaverClass", nullptr);
    if (window != nullptr) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(saver.Wait(10000), 0u);
    ASSERT_TRUE(sawSquare);
    EXPECT_EQ(foreign, 0u);
}

} // namespace
