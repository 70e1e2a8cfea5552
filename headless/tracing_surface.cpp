#include "tracing_surface.h"

void TracingSurface::Points(const SurfacePoint* points, int count)
{
    for (int i = 0; points != nullptr && i < count; ++i) out_ << ' ' << X(points[i].x) << ' ' << Y(points[i].y);
}

void TracingSurface::PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr)
{
    out_ << "block " << X(left) << ' ' << Y(top) << ' ' << width << ' ' << height << '\n';
    inner_.PutPixelBlock(left, top, width, height, bottomUpBgr);
}

void TracingSurface::BlackenRow(int y)
{
    out_ << "row " << Y(y) << '\n';
    inner_.BlackenRow(y);
}

void TracingSurface::BlackenColumn(int x)
{
    out_ << "column " << X(x) << '\n';
    inner_.BlackenColumn(x);
}

void TracingSurface::FillBlackRect(int left, int top, int right, int bottom)
{
    out_ << "rect " << X(left) << ' ' << Y(top) << ' ' << X(right) << ' ' << Y(bottom) << '\n';
    inner_.FillBlackRect(left, top, right, bottom);
}

void TracingSurface::SetBlackPixel(int x, int y)
{
    out_ << "pixel " << X(x) << ' ' << Y(y) << '\n';
    inner_.SetBlackPixel(x, y);
}

void TracingSurface::FillPolygon(const SurfacePoint* points, int count, std::uint32_t color)
{
    out_ << (nextPolygonLabel_.empty() ? "polygon" : nextPolygonLabel_);
    nextPolygonLabel_.clear();
    Points(points, count);
    out_ << '\n';
    inner_.FillPolygon(points, count, color);
}

void TracingSurface::FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    out_ << "pie " << X(left) << ' ' << Y(top) << ' ' << X(right) << ' ' << Y(bottom) << ' ' << X(x1) << ' ' << Y(y1) << ' '
         << X(x2) << ' ' << Y(y2) << '\n';
    inner_.FillBlackPie(left, top, right, bottom, x1, y1, x2, y2);
}

void TracingSurface::FillBlackPolygonRegion(const SurfacePoint* points, int count)
{
    out_ << "fill-region polygon";
    Points(points, count);
    out_ << '\n';
    inner_.FillBlackPolygonRegion(points, count);
}

void TracingSurface::FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                               int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom)
{
    out_ << "fill-region rect " << X(left) << ' ' << Y(top) << ' ' << X(right) << ' ' << Y(bottom) << " minus ellipse "
         << X(ellipseLeft) << ' ' << Y(ellipseTop) << ' ' << X(ellipseRight) << ' ' << Y(ellipseBottom) << '\n';
    inner_.FillBlackRectMinusEllipse(left, top, right, bottom, ellipseLeft, ellipseTop, ellipseRight, ellipseBottom);
}

void TracingSurface::ShiftOrigin(int dx, int dy)
{
    originX_ += dx;
    originY_ += dy;
    inner_.ShiftOrigin(dx, dy);
}
