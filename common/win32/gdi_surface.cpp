#include "gdi_surface.h"

#include <cstring>
#include <new>

#include "gdi_guards.h"

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

namespace {

// The context a drawing call uses: the one the surface holds, or the
// window's, taken for the call.
struct SurfaceDc {
    HWND window;
    HDC dc;
    bool own;
    SurfaceDc(HWND w, HDC held) : window(w), dc(held != nullptr ? held : GetDC(w)), own(held == nullptr) {}
    ~SurfaceDc() { if (own && dc != nullptr) ReleaseDC(window, dc); }
    explicit operator bool() const { return dc != nullptr; }
    SurfaceDc(const SurfaceDc&) = delete;
    SurfaceDc& operator=(const SurfaceDc&) = delete;
};

} // namespace

GdiSurface::GdiSurface(HWND window, HPALETTE palette) : window_(window), palette_(palette) {}

GdiSurface::GdiSurface(HWND window, HDC dc, GdiPaletteHolder* palettes) : window_(window), dc_(dc), palettes_(palettes)
{
    if (dc_ == nullptr) return;
    foundBrush_ = SelectObject(dc_, GetStockObject(BLACK_BRUSH));
    foundPen_ = SelectObject(dc_, GetStockObject(BLACK_PEN));
    haveOrigin_ = GetWindowOrgEx(dc_, &foundOrigin_) != 0;
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
            PadPixelRows(bottomUpBgr, width, height, paddedRows_);
        } catch (...) {
            return; // no memory for this frame: it stays undrawn
        }
        rows = paddedRows_.data();
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
    SurfaceDc windowDc(window_, dc_);
    if (!windowDc) return;
    // On a palette display the pixels map to the saver's palette, realized in
    // the context they are drawn on; the palette found there goes back after.
    HPALETTE found = nullptr;
    if (palette_ != nullptr) {
        found = ::SelectPalette(windowDc.dc, palette_, FALSE);
        RealizePalette(windowDc.dc);
    }
    // One copy, straight from the block to the window.
    BITMAPINFO info = Bitmap24Info(width, height);
    info.bmiHeader.biBitCount = bitCount;
    SetDIBitsToDevice(windowDc.dc, left, top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height), rows,
                      &info, DIB_RGB_COLORS);
    if (found != nullptr && found != palette_) ::SelectPalette(windowDc.dc, found, FALSE);
}

void GdiSurface::BlackenRow(int y)
{
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    MoveToEx(dc.dc, 0, y, nullptr);
    LineTo(dc.dc, client.right, y);
}

void GdiSurface::BlackenColumn(int x)
{
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    MoveToEx(dc.dc, x, 0, nullptr);
    LineTo(dc.dc, x, client.bottom);
}

void GdiSurface::FillBlackRect(int left, int top, int right, int bottom)
{
    // The platform would draw an inverted rectangle the other way round.
    if (right <= left || bottom <= top) return;
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    const RECT rect{left, top, right, bottom};
    FillRect(dc.dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::SetBlackPixel(int x, int y)
{
    SurfaceDc dc(window_, dc_);
    if (dc) SetPixel(dc.dc, x, y, RGB(0, 0, 0));
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
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    // The colour value is the platform's own: top byte 1 names a palette entry.
    if ((color >> 24) == 1 && !paletteSelected_) return;
    if (color == kSurfaceBlack && dc_ != nullptr) {
        // The held context has the black brush selected already.
        Polygon(dc.dc, platformPoints, count);
        return;
    }
    GdiObject created(color == kSurfaceBlack ? nullptr : CreateSolidBrush(static_cast<COLORREF>(color)));
    HGDIOBJ brush = color == kSurfaceBlack ? GetStockObject(BLACK_BRUSH) : created.handle;
    if (brush == nullptr) return;
    SelectedObject selected(dc.dc, brush);
    Polygon(dc.dc, platformPoints, count);
}

void GdiSurface::FillBlackPie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    if (dc_ != nullptr) {
        Pie(dc.dc, left, top, right, bottom, x1, y1, x2, y2);
        return;
    }
    SelectedObject selected(dc.dc, GetStockObject(BLACK_BRUSH));
    Pie(dc.dc, left, top, right, bottom, x1, y1, x2, y2);
}

void GdiSurface::FillBlackPolygonRegion(const SurfacePoint* points, int count)
{
    if (points == nullptr || count < 3) return;
    const POINT* platformPoints = PlatformPoints(points, count);
    if (platformPoints == nullptr) return;
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    GdiObject region(CreatePolygonRgn(platformPoints, count, WINDING));
    if (region) FillRgn(dc.dc, static_cast<HRGN>(region.handle), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::FillBlackRectMinusEllipse(int left, int top, int right, int bottom,
                                           int ellipseLeft, int ellipseTop, int ellipseRight, int ellipseBottom)
{
    SurfaceDc dc(window_, dc_);
    if (!dc) return;
    GdiObject rect(CreateRectRgn(left, top, right, bottom));
    GdiObject ellipse(CreateEllipticRgn(ellipseLeft, ellipseTop, ellipseRight, ellipseBottom));
    GdiObject difference(CreateRectRgn(0, 0, 0, 0));
    if (!rect || !ellipse || !difference) return;
    if (CombineRgn(static_cast<HRGN>(difference.handle), static_cast<HRGN>(rect.handle), static_cast<HRGN>(ellipse.handle), RGN_DIFF) == ERROR) return;
    FillRgn(dc.dc, static_cast<HRGN>(difference.handle), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiSurface::ShiftOrigin(int dx, int dy)
{
    SurfaceDc dc(window_, dc_);
    if (dc) OffsetWindowOrgEx(dc.dc, dx, dy, nullptr);
}

HPALETTE GdiSurface::MakePalette(const SurfacePalette& palette) const
{
    const std::size_t count = palette.colors.size() < 256 ? palette.colors.size() : 256;
    std::vector<std::uint8_t> storage;
    try {
        storage.resize(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* description = reinterpret_cast<LOGPALETTE*>(storage.data());
    description->palVersion = 0x300;
    description->palNumEntries = static_cast<WORD>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t rgb = palette.colors[i];
        description->palPalEntry[i] = {static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb), PC_RESERVED};
    }
    return palettes_->make != nullptr ? palettes_->make(description) : nullptr;
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
