// A drawing surface that writes one line per call and passes the call on, so
// that a run can be checked against the design without a screen. Every
// coordinate is written in frame pixels, after the origin shift in force:
//   row Y | column X | rect L T R B | pixel X Y | block L T W H
//   polygon X1 Y1 X2 Y2 ... | pie L T R B X1 Y1 X2 Y2
//   fill-region polygon X1 Y1 X2 Y2 ... | fill-region rect L T R B minus ellipse L T R B
// Origin shifts and palette selections write nothing. A polygon may be given
// a label of its own beforehand (LabelNextPolygon), which then stands in
// place of the word "polygon": the terrain saver's quads are traced as
// "quad I J INDEX X1 Y1 ... X4 Y4".
#pragma once

#include <ostream>
#include <string>

#include "common/draw_surface.h"

class TracingSurface : public DrawSurface {
public:
    TracingSurface(DrawSurface& inner, std::ostream& out) : inner_(inner), out_(out) {}

    void PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr) override;
    void BlackenRow(int y) override;
    void BlackenColumn(int x) override;
    void FillBlackRect(int left, int top, int right, int bottom) override;
    void SetBlackPixel(int x, int y) override;
    void FillPolygon(const SurfacePoint* points, int count, std::uint32_t color) override;
    void FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
    void FillBlackPolygonRegion(const SurfacePoint* points, int count) override;
    void FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                   int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom) override;
    void ShiftOrigin(int dx, int dy) override;
    void SelectPalette(const SurfacePalette& palette) override { inner_.SelectPalette(palette); }

    void LabelNextPolygon(const std::string& label) { nextPolygonLabel_ = label; }

private:
    long long X(int x) const { return static_cast<long long>(x) - originX_; }
    long long Y(int y) const { return static_cast<long long>(y) - originY_; }
    void Points(const SurfacePoint* points, int count);

    DrawSurface& inner_;
    std::ostream& out_;
    long long originX_ = 0;
    long long originY_ = 0;
    std::string nextPolygonLabel_;
};
