// The software surface's drawing calls: the platform's pixel rules for rows,
// columns, rectangles and pixels, the shapes of polygons, sectors and
// regions, and origin shifts.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "headless/software_surface.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFu;

struct Case {
    const char* name;
    std::function<void(SoftwareSurface&)> draw;
    std::function<bool(int x, int y)> black; // the pixels that must turn black
    bool exact;                              // false: only the listed probe pixels are checked
    std::vector<std::pair<int, int>> probesOutside;
};

void Check(const Case& c, int w, int h)
{
    SoftwareSurface s(w, h);
    std::fill(s.pixels.begin(), s.pixels.end(), kWhite);
    c.draw(s);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool isBlack = s.PixelAt(x, y) == 0;
            if (c.black(x, y)) {
                EXPECT_TRUE(isBlack) << c.name << " at " << x << "," << y;
            } else if (c.exact) {
                EXPECT_FALSE(isBlack) << c.name << " at " << x << "," << y;
            }
        }
    }
    for (const auto& p : c.probesOutside) EXPECT_EQ(s.PixelAt(p.first, p.second), kWhite) << c.name << " at " << p.first << "," << p.second;
}

} // namespace

TEST(SoftwareSurface, RowsColumnsRectanglesAndPixelsFollowThePlatformsRules)
{
    const Case cases[] = {
        {"row", [](SoftwareSurface& s) { s.BlackenRow(3); }, [](int, int y) { return y == 3; }, true, {}},
        {"row outside", [](SoftwareSurface& s) { s.BlackenRow(8); s.BlackenRow(-1); }, [](int, int) { return false; }, true, {}},
        {"column", [](SoftwareSurface& s) { s.BlackenColumn(9); }, [](int x, int) { return x == 9; }, true, {}},
        {"rect", [](SoftwareSurface& s) { s.FillBlackRect(2, 1, 5, 3); }, [](int x, int y) { return x >= 2 && x < 5 && y >= 1 && y < 3; }, true, {}},
        {"rect past the edges", [](SoftwareSurface& s) { s.FillBlackRect(-5, 6, 50, 50); }, [](int, int y) { return y >= 6; }, true, {}},
        {"empty and inverted rects",
         [](SoftwareSurface& s) {
             s.FillBlackRect(5, 1, 2, 3);
             s.FillBlackRect(2, 2, 2, 5);
             s.FillBlackRect(2, 5, 6, 1);
         },
         [](int, int) { return false; }, true, {}},
        {"pixels", [](SoftwareSurface& s) { s.SetBlackPixel(9, 7); s.SetBlackPixel(10, 7); s.SetBlackPixel(-1, 0); },
         [](int x, int y) { return x == 9 && y == 7; }, true, {}},
        {"shifts add up",
         [](SoftwareSurface& s) {
             s.ShiftOrigin(-2, -1);
             s.FillBlackRect(0, 0, 1, 1); // lands at (2, 1)
             s.ShiftOrigin(1, 0);
             s.SetBlackPixel(0, 0); // (1, 1)
             s.BlackenRow(4);       // row 5
             s.BlackenColumn(6);    // column 7
         },
         // The row and the column run from the shifted (0, 0) on.
         [](int x, int y) { return (x == 2 && y == 1) || (x == 1 && y == 1) || (y == 5 && x >= 1) || (x == 7 && y >= 1); }, true, {}},
    };
    for (const Case& c : cases) Check(c, 10, 8);
}

TEST(SoftwareSurface, ShapesAreThePlatformsShapes)
{
    const Case cases[] = {
        // A square polygon: interior and outline, the far edges included.
        {"square polygon",
         [](SoftwareSurface& s) {
             const SurfacePoint p[4] = {{1, 1}, {6, 1}, {6, 6}, {1, 6}};
             s.FillPolygon(p, 4, kSurfaceBlack);
         },
         [](int x, int y) { return x >= 1 && x <= 6 && y >= 1 && y <= 6; }, true, {}},
        {"polygon moved by the origin",
         [](SoftwareSurface& s) {
             s.ShiftOrigin(-10, -10);
             const SurfacePoint p[3] = {{0, 0}, {5, 0}, {0, 5}};
             s.FillPolygon(p, 3, kSurfaceBlack);
         },
         // The interior, and the slanted outline (5, 0) .. (0, 5) just outside it.
         [](int x, int y) { return x >= 10 && y >= 10 && (x - 10) + (y - 10) <= 5; }, true, {}},
        // Sectors run counterclockwise on screen from the first radial to the second.
        {"quarter from up to left",
         [](SoftwareSurface& s) { s.FillBlackPie(0, 0, 20, 20, 10, 0, 0, 10); },
         [](int x, int y) { return (x - 10) * (x - 10) + (y - 10) * (y - 10) < 60 && x < 10 && y < 10; }, false,
         {{14, 6}, {6, 14}, {14, 14}}},
        {"three quarters from left to up",
         [](SoftwareSurface& s) { s.FillBlackPie(0, 0, 20, 20, 0, 10, 10, 0); },
         [](int x, int y) { return (x - 10) * (x - 10) + (y - 10) * (y - 10) < 60 && !(x < 10 && y < 10); }, false, {{6, 6}, {0, 0}}},
        {"equal points: the whole ellipse",
         [](SoftwareSurface& s) { s.FillBlackPie(0, 0, 20, 20, 15, 3, 15, 3); },
         [](int x, int y) { return (2 * x - 19) * (2 * x - 19) + (2 * y - 19) * (2 * y - 19) < 288; }, false, {{0, 0}, {19, 19}, {0, 19}}},
        // A self-crossing star is solid, its centre included.
        {"star region",
         [](SoftwareSurface& s) {
             const SurfacePoint p[5] = {{10, 0}, {16, 18}, {0, 7}, {20, 7}, {4, 18}};
             s.FillBlackPolygonRegion(p, 5);
         },
         [](int x, int y) { return x >= 8 && x <= 11 && y >= 8 && y <= 11; }, false, {{0, 0}, {19, 0}, {10, 19}}},
        {"rect minus ellipse",
         [](SoftwareSurface& s) { s.FillBlackRectMinusEllipse(0, 0, 20, 20, 0, 0, 20, 20); },
         [](int x, int y) { return (x < 2 || x > 17) && (y < 2 || y > 17); }, false, {{10, 10}, {10, 0}, {0, 10}, {18, 10}}},
        {"rect minus an empty ellipse",
         [](SoftwareSurface& s) { s.FillBlackRectMinusEllipse(0, 0, 20, 20, 0, 0, 0, 0); },
         [](int x, int y) { return x < 20 && y < 20; }, true, {}},
        // Shapes reaching far past the frame are clipped, and cost no more than the frame.
        {"huge shapes",
         [](SoftwareSurface& s) {
             const SurfacePoint p[3] = {{-1000000000, -1000000000}, {1000000000, -1000000000}, {-1000000000, 1000000000}};
             s.FillPolygon(p, 3, kSurfaceBlack);
             s.FillBlackPie(-1000000000, -1000000000, 1000000000, 1000000000, 0, -5, 5, 0);
         },
         [](int x, int y) { return y >= 2 && x + y < 20; }, false, {}},
    };
    for (const Case& c : cases) Check(c, 20, 20);
}

TEST(SoftwareSurface, PolygonsTakeTheirPaletteColourInsideABlackOutline)
{
    SoftwareSurface s(10, 10);
    std::fill(s.pixels.begin(), s.pixels.end(), kWhite);
    s.palette = {0x000000u, 0x11AA22u};
    const SurfacePoint p[4] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}};
    s.FillPolygon(p, 4, SurfacePaletteIndex(1));
    EXPECT_EQ(s.PixelAt(4, 4), 0x11AA22u);
    EXPECT_EQ(s.PixelAt(1, 4), 0u);
    EXPECT_EQ(s.PixelAt(8, 8), 0u);
    EXPECT_EQ(s.PixelAt(9, 9), kWhite);
    // An RGB colour value has red in its low byte.
    s.FillPolygon(p, 4, 0x00336699u);
    EXPECT_EQ(s.PixelAt(4, 4), 0x996633u);
}
