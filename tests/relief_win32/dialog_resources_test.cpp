// The relief saver's dialog template 2003 and banner bitmap 227 as built into
// ondrels.scr, read from the program file, and the banner as the open dialog
// paints it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "dialog_driver.h"
#include "tests/win32/dialog_template.h"
#include "headless/banner_rle8.h"
#include "relief/relief_dialog_logic.h"

using namespace dialog_test;

namespace {

constexpr DWORD kChild = WS_CHILD;

TEST(ReliefDialogTemplate, ExtendedTemplateWithEveryControlInOrder)
{
    ProgramResources program(BinDirectory() + "ondrels.scr");
    ASSERT_NE(program.module, nullptr);
    const std::vector<BYTE> bytes = program.Bytes(MAKEINTRESOURCEA(5) /* dialog */, 2003);
    ASSERT_FALSE(bytes.empty());
    TemplateReader r{bytes.data(), bytes.data() + bytes.size()};
    EXPECT_EQ(r.Take<WORD>(), 1);      // version
    EXPECT_EQ(r.Take<WORD>(), 0xFFFF); // extended template
    EXPECT_EQ(r.Take<DWORD>(), 0u);    // help id
    EXPECT_EQ(r.Take<DWORD>(), 0u);    // extended style
    EXPECT_EQ(r.Take<DWORD>(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT));
    const WORD count = r.Take<WORD>();
    EXPECT_EQ(r.Take<short>(), 0);
    EXPECT_EQ(r.Take<short>(), 0);
    EXPECT_EQ(r.Take<short>(), 212);
    EXPECT_EQ(r.Take<short>(), 239);
    EXPECT_EQ(r.TakeNameOrOrdinal(), ""); // no menu
    EXPECT_EQ(r.TakeNameOrOrdinal(), ""); // the standard dialog class
    EXPECT_EQ(r.TakeText(), "About Ondrel  v0.89");
    EXPECT_EQ(r.Take<WORD>(), 8); // points
    r.Take<WORD>();               // weight
    r.Take<BYTE>();               // italic
    r.Take<BYTE>();               // character set
    EXPECT_EQ(r.TakeText(), "MS Sans Serif");

    const ControlTemplate expected[] = {
        {kChild | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, 0, 22, 84, 70, 12, 1015, "msctls_trackbar32", "Slider1"},
        {kChild | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, 0, 119, 85, 70, 12, 1018, "msctls_trackbar32", "Slider1"},
        {kChild | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, 0, 22, 113, 70, 12, 1019, "msctls_trackbar32", "Slider1"},
        {kChild | WS_VISIBLE | WS_TABSTOP, 0, 119, 113, 70, 12, 1012, "msctls_trackbar32", "Slider1"},
        {kChild | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 17, 165, 76, 9, 1036, "button", "Random color" + std::string(9, ' ')},
        {kChild | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 17, 180, 73, 9, 1037, "button", "Selection color" + std::string(10, ' ')},
        {kChild | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFT, 0, 26, 131, 59, 10, 1013, "button", "&Invert ondrels"},
        {kChild | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 47, 216, 56, 15, 1010, "button", "&OK"},
        {kChild | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 108, 216, 56, 15, 1011, "button", "&Annuler"},
        {kChild | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 124, 52, 78, 15, 1016, "button", "ondrels@example.org"},
        {kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, 19, 52, 94, 15, 1017, "button", "http://ondrels.example.org/"},
        {kChild | WS_VISIBLE | WS_GROUP | SS_CENTER, 0, 34, 76, 45, 8, -1, "static", "Degrees"},
        {kChild | WS_VISIBLE | WS_GROUP | SS_CENTER, 0, 119, 77, 70, 8, 1039, "static", "Colors"},
        {kChild | WS_VISIBLE | WS_GROUP | SS_CENTER, 0, 39, 104, 38, 8, 1005, "static", "Soften"},
        {kChild | WS_VISIBLE | WS_GROUP | SS_CENTER, 0, 119, 104, 70, 8, 1004, "static", "Delay"},
        {kChild | WS_VISIBLE | BS_GROUPBOX, 0, 7, 150, 195, 54, -1, "button", "Palette colors"},
        {kChild | WS_VISIBLE | BS_OWNERDRAW, 0, 96, 179, 27, 12, 1038, "button", ""},
        {kChild | WS_VISIBLE | BS_GROUPBOX, 0, 7, 67, 195, 77, -1, "button", "Effects"},
        {kChild | WS_VISIBLE | BS_OWNERDRAW, 0, 18, 193, 180, 9, 1002, "button", ""},
    };
    ASSERT_EQ(count, sizeof expected / sizeof expected[0]);
    for (const ControlTemplate& e : expected) {
        r.AlignToDword(bytes.data());
        SCOPED_TRACE("control " + std::to_string(e.id) + " " + e.text);
        EXPECT_EQ(r.Take<DWORD>(), 0u); // help id
        EXPECT_EQ(r.Take<DWORD>(), e.exStyle);
        EXPECT_EQ(r.Take<DWORD>(), e.style);
        EXPECT_EQ(r.Take<short>(), e.x);
        EXPECT_EQ(r.Take<short>(), e.y);
        EXPECT_EQ(r.Take<short>(), e.cx);
        EXPECT_EQ(r.Take<short>(), e.cy);
        EXPECT_EQ(r.Take<std::int32_t>(), e.id);
        EXPECT_EQ(ClassName(r.TakeNameOrOrdinal()), e.className);
        EXPECT_EQ(r.TakeNameOrOrdinal(), e.text);
        const WORD extra = r.Take<WORD>();
        r.at += extra;
    }
    EXPECT_TRUE(r.ok);
}

std::string SourcePath(const char* relative)
{
    std::string path = std::string("Z:") + SAVER_SOURCE_DIR + "/" + relative;
    for (char& c : path) if (c == '/') c = '\\';
    return path;
}

std::uint32_t Le32(const std::vector<BYTE>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(ReliefBanner, FrenchBitmapResourceWithTheHeaderOfThePicture)
{
    ProgramResources program(BinDirectory() + "ondrels.scr");
    ASSERT_NE(program.module, nullptr);
    const std::vector<BYTE> bytes = program.Bytes(MAKEINTRESOURCEA(2) /* bitmap */, 227, MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH));
    ASSERT_GE(bytes.size(), 40u + 1024u);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 260);
    EXPECT_EQ(header.biHeight, 80); // bottom-up
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RLE8));
    EXPECT_EQ(header.biXPelsPerMeter, 2834);
    EXPECT_EQ(header.biYPelsPerMeter, 2834);
    EXPECT_EQ(header.biClrUsed, 256u);
    EXPECT_EQ(header.biClrImportant, 256u);
    EXPECT_EQ(bytes.size(), 40u + 1024u + header.biSizeImage);

    // The resource is the committed picture without its file header.
    const std::string text = ReadFile(SourcePath("relief/win32/banner.bmp"));
    const std::vector<BYTE> file(text.begin(), text.end());
    ASSERT_GT(file.size(), 14u);
    EXPECT_EQ(Le32(file, 10), 14u + 40u + 1024u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + 14, file.end()));

    // The picture: black ground, a lit sphere at the left, white lettering at the right.
    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(DecodeRle8(bytes.data() + 40 + 1024, header.biSizeImage, 260, 80, pixels));
    const auto colorAt = [&](int x, int y) { return Le32(bytes, 40 + 4 * pixels[static_cast<std::size_t>(y * 260 + x)]) & 0xFFFFFFu; };
    for (int corner : {0, 259}) {
        EXPECT_EQ(colorAt(corner, 0), 0u);
        EXPECT_EQ(colorAt(corner, 79), 0u);
    }
    int sphere = 0, white = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 260; ++x) {
            const std::uint32_t c = colorAt(x, y);
            if (x < 84 && c != 0) ++sphere;
            if (x >= 84 && c == 0xFFFFFFu) ++white;
        }
    EXPECT_GT(sphere, 3000); // a disc of radius 34 covers about 3600 pixels
    EXPECT_GT(white, 800);
}

TEST(ReliefBanner, PaintedCentredAboveTheControls)
{
    SaverCopy copy("banner");
    ProgramRun run;
    ASSERT_TRUE(run.Start(copy.program, "/c"));
    HWND dialog = WaitForDialog(run.Id(), kDialogTitle, nullptr, 15000);
    ASSERT_NE(dialog, nullptr);
    InvalidateRect(dialog, nullptr, TRUE);
    Settle(dialog);

    ProgramResources program(BinDirectory() + "ondrels.scr");
    const std::vector<BYTE> bytes = program.Bytes(MAKEINTRESOURCEA(2), 227);
    ASSERT_GE(bytes.size(), 40u + 1024u);
    std::vector<std::uint8_t> picture;
    ASSERT_TRUE(DecodeRle8(bytes.data() + 40 + 1024, bytes.size() - 40 - 1024, 260, 80, picture));

    const RECT client = ClientScreenRect(dialog);
    const int width = client.right - client.left;
    const std::vector<std::uint32_t> shown = ScreenPixels({client.left, client.top, client.right, client.top + 80});
    const int left = BannerLeft(width, 260);
    // The e-mail button stands over the banner's lower edge.
    std::vector<RECT> covered;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r = ScreenRect(child);
        OffsetRect(&r, -client.left, -client.top);
        covered.push_back(r);
    }
    const auto isCovered = [&](int x, int y) {
        const POINT p = {x, y};
        return std::any_of(covered.begin(), covered.end(), [&](const RECT& r) { return PtInRect(&r, p) != 0; });
    };
    int wrong = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < width; ++x) {
            if (isCovered(x, y)) continue;
            const int px = x - left;
            const std::uint32_t expected = px >= 0 && px < 260
                ? Le32(bytes, 40 + 4 * picture[static_cast<std::size_t>(y * 260 + px)]) & 0xFFFFFFu
                : 0u; // the black band either side
            if (shown[static_cast<std::size_t>(y * width + x)] != expected && wrong++ < 3)
                ADD_FAILURE() << "banner pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(wrong, 0);
    // The band ends with the picture: the dialog's own background is below it.
    const std::vector<std::uint32_t> below = ScreenPixels({client.left, client.top + 80, client.left + 4, client.top + 81});
    EXPECT_NE(below[0], 0u);
    PostClick(dialog, 1011);
    EXPECT_EQ(run.Wait(10000), 0u);
}

} // namespace
