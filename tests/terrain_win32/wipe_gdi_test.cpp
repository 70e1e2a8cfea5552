// The wipes on a real window: the GDI surface against the software surface on
// the same calls at every pause, and the window's private device context left
// as the wipe found it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "common/win32/gdi_surface.h"
#include "tests/win32/wipe_window.h"
#include "tests/effect/wipe_harness.h"
#include "tests/pixels/pixel_ledger.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/terrain_win32/terrain_test_window.h"

namespace {

// Passes every call on to two surfaces.
class TeeSurface : public DrawSurface {
public:
    TeeSurface(DrawSurface& a, DrawSurface& b) : a_(a), b_(b) {}
    void PutPixelBlock(int l, int t, int w, int h, const std::uint8_t* p) override { a_.PutPixelBlock(l, t, w, h, p); b_.PutPixelBlock(l, t, w, h, p); }
    void BlackenRow(int y) override { a_.BlackenRow(y); b_.BlackenRow(y); }
    void BlackenColumn(int x) override { a_.BlackenColumn(x); b_.BlackenColumn(x); }
    void FillBlackRect(int l, int t, int r, int b) override { a_.FillBlackRect(l, t, r, b); b_.FillBlackRect(l, t, r, b); }
    void SetBlackPixel(int x, int y) override { a_.SetBlackPixel(x, y); b_.SetBlackPixel(x, y); }
    void FillPolygon(const SurfacePoint* p, int n, std::uint32_t c) override { a_.FillPolygon(p, n, c); b_.FillPolygon(p, n, c); }
    void FillBlackPie(int l, int t, int r, int b, int x1, int y1, int x2, int y2) override
    {
        a_.FillBlackPie(l, t, r, b, x1, y1, x2, y2);
        b_.FillBlackPie(l, t, r, b, x1, y1, x2, y2);
    }
    void FillBlackPolygonRegion(const SurfacePoint* p, int n) override { a_.FillBlackPolygonRegion(p, n); b_.FillBlackPolygonRegion(p, n); }
    void FillBlackRectMinusEllipse(int l, int t, int r, int b, int el, int et, int er, int eb) override
    {
        a_.FillBlackRectMinusEllipse(l, t, r, b, el, et, er, eb);
        b_.FillBlackRectMinusEllipse(l, t, r, b, el, et, er, eb);
    }
    void ShiftOrigin(int dx, int dy) override { a_.ShiftOrigin(dx, dy); b_.ShiftOrigin(dx, dy); }
    void SelectPalette(const SurfacePalette& p) override { a_.SelectPalette(p); b_.SelectPalette(p); }

private:
    DrawSurface& a_;
    DrawSurface& b_;
};

// What the window shows, device pixel (0, 0) first, whatever origin its
// private context has at the moment.
std::vector<std::uint32_t> ShownPixels(HWND window, HDC dc, int width, int height)
{
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    return ReadWindowPixels(window, width, height, origin.x, origin.y);
}

bool DrawsOnlyRowsColumnsRectanglesAndPixels(int number)
{
    return number == 0 || number == 1 || number == 2 || number == 3 || number == 7 || number == 8 || number == 10 || number == 14;
}

} // namespace

TEST(WipesOnGdi, MatchTheSoftwareSurfaceAtEveryPauseAndLeaveTheContextAsFound)
{
    const int sizes[][2] = {{320, 240}, {151, 97}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        HWND window = CreateOwnDcWindow(w, h);
        ASSERT_NE(window, nullptr);
        HDC dc = GetDC(window);
        // What the saver's scene step would have left selected.
        HBRUSH sceneBrush = CreateSolidBrush(RGB(200, 30, 30));
        HPEN scenePen = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
        for (int number = 0; number < kWipeCount; ++number) {
            const std::string what = "wipe " + std::to_string(number) + " on " + std::to_string(w) + "x" + std::to_string(h);
            SelectObject(dc, sceneBrush);
            SelectObject(dc, scenePen);
            SoftwareSurface expected(w, h);
            FillWithPattern(expected);
            std::vector<std::uint8_t> picture(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = expected.PixelAt(x, y);
                    std::uint8_t* bgr = &picture[(static_cast<std::size_t>(h - 1 - y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 3];
                    bgr[0] = static_cast<std::uint8_t>(p);
                    bgr[1] = static_cast<std::uint8_t>(p >> 8);
                    bgr[2] = static_cast<std::uint8_t>(p >> 16);
                }
            }
            {
                GdiSurface gdi(window, dc);
                gdi.PutPixelBlock(0, 0, w, h, picture.data());
                ASSERT_EQ(ShownPixels(window, dc, w, h), expected.pixels) << what;
                TeeSurface both(gdi, expected);
                RecordedPauses pauses;
                int checked = 0;
                double worst = 1.0;
                // The software surface at every pause and at the end, for the
                // native build to draw again (tests/pixels).
                std::string hashes;
                pauses.onPause = [&] {
                    const double share = EqualShare(ShownPixels(window, dc, w, h), expected.pixels);
                    worst = std::min(worst, share);
                    ++checked;
                    hashes += pixel_ledger::HexHash(pixel_ledger::HashPixels(expected.pixels)) + ",";
                };
                const std::uint32_t seed = static_cast<std::uint32_t>(1000 + number);
                RuntimeRandom random;
                SeedRuntimeRandom(random, seed);
                PlayWipe(both, random, pauses, w, h, number, 2);
                hashes += pixel_ledger::HexHash(pixel_ledger::HashPixels(expected.pixels));
                pixel_ledger::AppendLine(dialog_test::BinDirectory() + "pixel-ledger.txt",
                                         pixel_ledger::FormatLine("wipe", {{"width", std::to_string(w)}, {"height", std::to_string(h)},
                                                                           {"seed", std::to_string(seed)}, {"number", std::to_string(number)},
                                                                           {"delay", "2"}, {"pauses", hashes}}));
                const std::vector<std::uint32_t> shown = ShownPixels(window, dc, w, h);
                const double final = EqualShare(shown, expected.pixels);
                if (DrawsOnlyRowsColumnsRectanglesAndPixels(number)) {
                    EXPECT_EQ(worst, 1.0) << what << ", " << checked << " pauses";
                    EXPECT_EQ(final, 1.0) << what;
                } else {
                    EXPECT_GE(worst, 0.99) << what << ", " << checked << " pauses";
                    EXPECT_GE(final, 0.99) << what;
                }
                // Where the software surface ends black, so does the window.
                if (std::all_of(expected.pixels.begin(), expected.pixels.end(), [](std::uint32_t p) { return p == 0; })) {
                    EXPECT_EQ(std::count(shown.begin(), shown.end(), 0u), static_cast<long>(shown.size())) << what;
                }
            }
            // The surface is gone: the brush, pen and origin are the scene's again.
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), sceneBrush) << what;
            EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), scenePen) << what;
            POINT origin{1, 1};
            GetWindowOrgEx(dc, &origin);
            EXPECT_EQ(origin.x, 0) << what;
            EXPECT_EQ(origin.y, 0) << what;
        }
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(BLACK_PEN));
        DeleteObject(sceneBrush);
        DeleteObject(scenePen);
        ReleaseDC(window, dc);
        DestroyWindow(window);
    }
}

TEST(WipesOnGdi, PlayedOnTheWindowTheyUseThePrivateContextAndRestoreIt)
{
    const int w = 200, h = 150;
    HWND window = CreateOwnDcWindow(w, h);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    HBRUSH sceneBrush = CreateSolidBrush(RGB(10, 200, 10));
    SelectObject(dc, sceneBrush);
    for (const int number : {-1, 12, 4}) {
        // A context whose origin was left elsewhere gets it back too (the
        // wipe then draws displaced, as any drawing on that context would).
        const POINT found = number == 4 ? POINT{7, -3} : POINT{0, 0};
        SetWindowOrgEx(dc, found.x, found.y, nullptr);
        RECT all{-100, -100, w + 100, h + 100};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RuntimeRandom random;
        SeedRuntimeRandom(random, 31);
        RecordedPauses pauses;
        const int played = PlayWipeOnWindow(window, random, pauses, number, 2);
        RuntimeRandom first;
        SeedRuntimeRandom(first, 31);
        EXPECT_EQ(played, number < 0 ? DrawRuntimeRandom(first) % 15 : number);
        EXPECT_FALSE(pauses.pauses.empty());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), sceneBrush);
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        EXPECT_EQ(origin.x, found.x);
        EXPECT_EQ(origin.y, found.y);
        if (found.x == 0 && (played == 12 || played == 4)) {
            const auto shown = ShownPixels(window, dc, w, h);
            EXPECT_EQ(std::count(shown.begin(), shown.end(), 0u), static_cast<long>(shown.size())) << played;
        }
    }
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(sceneBrush);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
