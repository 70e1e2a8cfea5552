#include "gdi_surface.h"

#include <cstring>
#include <new>

#include "gdi_guards.h"
#include "logical_palette.h"

BITMAPINFO Bitmap24Info(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::size_t PaddedRowLength(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3); }

void PadPixelRows(const std::uint8_t* packed, int width, int height, std::vector<std::uint8_t>& padded)
{
    const std::size_t stride = PaddedRowLength(width);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    padded.assign(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) std::memcpy(&padded[stride * static_cast<std::size_t>(y)], packed + row * static_cast<std::size_t>(y), row);
}

void UnpadPixelRows(const std::uint8_t* padded, int width, int height, std::uint8_t* packed)
{
    const std::size_t stride = PaddedRowLength(width);
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) std::memcpy(packed + row * static_cast<std::size_t>(y), padded + stride * static_cast<std::size_t>(y), row);
}

GdiSurface::GdiSurface(HWND window, HDC dc, GdiSurfaceKeep* keep)
    : window_(window), dc_(dc), palettes_(keep != nullptr ? &keep->palettes : nullptr), paddedRows_(keep != nullptr ? &keep->rows : &ownRows_)
{
}

void GdiSurface::SelectBlackBrushAndPen()
{
    if (blackSelected_ || dc_ == nullptr) return;
    blackSelected_ = true;
    foundBrush_ = SelectObject(dc_, GetStockObject(BLACK_BRUSH));
    foundPen_ = SelectObject(dc_, GetStockObject(BLACK_PEN));
}

GdiSurface::~GdiSurface()
{
    if (dc_ == nullptr) return;
    if (foundBrush_ != nullptr && foundBrush_ != HGDI_ERROR) SelectObject(dc_, foundBrush_);
    if (foundPen_ != nullptr && foundPen_ != HGDI_ERROR) SelectObject(dc_, foundPen_);
    if (haveOrigin_) SetWindowOrgEx(dc_, foundOrigin_.x, foundOrigin_.y, nullptr);
    if (paletteSelected_ && foundPalette_ != nullptr) ::SelectPalette(dc_, foundPalette_, FALSE);
}

void GdiSurface::PutPixelBlock(int left, int top, int width, int height, const std::uint8_t* bottomUpBgr)
{
    if (width <= 0 || height <= 0 || bottomUpBgr == nullptr) return;
    // The platform reads rows of a multiple of 4 bytes. Where the block's rows
    // are that already (every lens square whose side is a multiple of 4), it
    // is handed over as it is; otherwise it is copied to padded rows first.
    const std::uint8_t* rows = bottomUpBgr;
    if (PaddedRowLength(width) != static_cast<std::size_t>(width) * 3) {
        try {
            PadPixelRows(bottomUpBgr, width, height, *paddedRows_);
        } catch (...) {
            return; // no memory for this frame: it stays undrawn
        }
        rows = paddedRows_->data();
    }
    PutRows(left, top, width, height, rows, 24);
}

void GdiSurface::PutPixelBlock32(int left, int top, int width, int height, const std::uint8_t* bottomUpBgrx)
{
    // Rows of 4-byte pixels are always a multiple of 4 bytes.
    if (width <= 0 || height <= 0 || bottomUpBgrx == nullptr) return;
    PutRows(left, top, width, height, bottomUpBgrx, 32);
}

void GdiSurface::PutRows(int left, int top, int width, int height, const std::uint8_t* rows, WORD bitCount)
{
    if (dc_ == nullptr) return;
    // One copy, straight from the block to the window.
    BITMAPINFO info = Bitmap24Info(width, height);
    info.bmiHeader.biBitCount = bitCount;
    SetDIBitsToDevice(dc_, left, top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), rows, &info,
                      DIB_RGB_COLORS);
}

void GdiSurface::BlackenRow(int y)
{
    if (dc_ == nullptr) return;
    SelectBlackBrushAndPen();
    RECT client{};
    GetClientRect(window_, &client);
    MoveToEx(dc_, 0, y, nullptr);
    LineTo(dc_, client.right, y);
}

void GdiSurface::BlackenColumn(int x)
{
    if (dc_ == nullptr) return;
    SelectBlackBrushAndPen();
    RECT client{};
    GetClientRect(window_, &client);
    MoveToEx(dc_, x, 0, nullptr);
    LineTo(dc_, x, client.bottom);
}

void GdiSurface::FillBlackRect(int left, int top, int right, int bottom)
{
    // The platform would draw an inverted rectangle the other way round.
    if (right <= left || bottom <= top) return;
    if (dc_ == nullptr) return;
    const RECT rect{left, top, right, bottom};
    FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::SetBlackPixel(int x, int y)
{
    if (dc_ != nullptr) SetPixel(dc_, x, y, RGB(0, 0, 0));
}

const POINT* GdiSurface::PlatformPoints(const SurfacePoint* points, int count)
{
    try {
        points_.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (std::size_t i = 0; i < points_.size(); ++i) points_[i] = {points[i].x, points[i].y};
    return points_.data();
}

void GdiSurface::FillPolygon(const SurfacePoint* points, int count, std::uint32_t color)
{
    if (points == nullptr || count < 2) return;
    const POINT* platformPoints = PlatformPoints(points, count);
    if (platformPoints == nullptr) return;
    if (dc_ == nullptr) return;
    // The colour value is the platform's own: top byte 1 names a palette entry.
    if ((color >> 24) == 1 && !paletteSelected_) return;
    SelectBlackBrushAndPen();
    if (color == kSurfaceBlack) {
        // The context has the black brush selected already.
        Polygon(dc_, platformPoints, count);
        return;
    }
    GdiObject brush(CreateSolidBrush(static_cast<COLORREF>(color)));
    if (!brush) return;
    SelectedObject selected(dc_, brush.handle);
    Polygon(dc_, platformPoints, count);
}

void GdiSurface::FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    if (dc_ == nullptr) return;
    SelectBlackBrushAndPen();
    // The context has the black brush and pen selected already.
    Pie(dc_, left, top, right, bottom, x1, y1, x2, y2);
}

void GdiSurface::FillBlackPolygonRegion(const SurfacePoint* points, int count)
{
    if (points == nullptr || count < 3) return;
    const POINT* platformPoints = PlatformPoints(points, count);
    if (platformPoints == nullptr) return;
    if (dc_ == nullptr) return;
    GdiObject region(CreatePolygonRgn(platformPoints, count, WINDING));
    if (region) FillRgn(dc_, static_cast<HRGN>(region.handle), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                           int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom)
{
    if (dc_ == nullptr) return;
    GdiObject rect(CreateRectRgn(left, top, right, bottom));
    GdiObject ellipse(CreateEllipticRgn(ellipseLeft, ellipseTop, ellipseRight, ellipseBottom));
    GdiObject difference(CreateRectRgn(0, 0, 0, 0));
    if (!rect || !ellipse || !difference) return;
    if (CombineRgn(static_cast<HRGN>(difference.handle), static_cast<HRGN>(rect.handle), static_cast<HRGN>(ellipse.handle), RGN_DIFF) == ERROR) return;
    FillRgn(dc_, static_cast<HRGN>(difference.handle), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::ShiftOrigin(int dx, int dy)
{
    if (dc_ == nullptr) return;
    if (!originKept_) {
        originKept_ = true;
        haveOrigin_ = GetWindowOrgEx(dc_, &foundOrigin_) != 0;
    }
    OffsetWindowOrgEx(dc_, dx, dy, nullptr);
}

HPALETTE GdiSurface::MakePalette(const SurfacePalette& palette) const
{
    return MakeLogicalPalette(
        palette.colors.size(),
        [&palette](std::size_t i) {
            const std::uint32_t rgb = palette.colors[i];
            return PALETTEENTRY{static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb), PC_RESERVED};
        },
        palettes_->make);
}

void GdiSurface::SelectPalette(const SurfacePalette& palette)
{
    if (palettes_ == nullptr || dc_ == nullptr || palette.colors.empty()) return;
    const bool current = palettes_->palette != nullptr && palettes_->serial == palette.serial;
    const bool givenUp = palettes_->failed && palettes_->failedSerial == palette.serial;
    if (!current && !givenUp) {
        HPALETTE created = MakePalette(palette);
        if (created != nullptr) {
            // The old palette may still be selected here; put back the one
            // found before deleting it.
            if (paletteSelected_ && foundPalette_ != nullptr) ::SelectPalette(dc_, foundPalette_, FALSE);
            palettes_->Release();
            palettes_->palette = created;
            palettes_->serial = palette.serial;
            palettes_->failed = false;
        } else if (palettes_->palette != nullptr) {
            palettes_->failed = true;
            palettes_->failedSerial = palette.serial;
        }
    }
    if (palettes_->palette == nullptr) return;
    HPALETTE previous = ::SelectPalette(dc_, palettes_->palette, FALSE);
    if (!paletteSelected_) {
        foundPalette_ = previous;
        paletteSelected_ = previous != nullptr;
    }
    RealizePalette(dc_);
}
