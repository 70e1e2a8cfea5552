// The relief saver's settings dialog (resource 2003): four sliders, the
// invert box, random or chosen base colour with a swatch and a palette
// preview, the banner above it all, and OK writing the settings file.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "common/win32/dialog_sliders.h"
#include "common/win32/gdi_guards.h"
#include "common/win32/logical_palette.h"
#include "host/saver_host.h"
#include "relief/relief_dialog_logic.h"
#include "relief_resources.h"
#include "relief_window.h"

namespace {

HINSTANCE gReliefInstance = nullptr;

// The colour chooser's custom colours, kept for the life of the process.
COLORREF gCustomColors[16] = {};

static_assert(kReliefDegreesSlider == IDC_RELIEF_DEGREES && kReliefColorsSlider == IDC_RELIEF_COLORS &&
                  kReliefSoftenSlider == IDC_RELIEF_SOFTEN && kReliefDelaySlider == IDC_RELIEF_DELAY,
              "the dialog logic names the resources' slider controls");
const SliderSetup& kDegreesSlider = kReliefSliders[0];
const SliderSetup& kColorsSlider = kReliefSliders[1];
const SliderSetup& kSoftenSlider = kReliefSliders[2];
const SliderSetup& kDelaySlider = kReliefSliders[3];

COLORREF ReliefBaseColor()
{
    return DialogBaseColor(gReliefSettings.RGB_Red, gReliefSettings.RGB_Green, gReliefSettings.RGB_Blue);
}

void ShowColorCount(HWND dialog, std::int32_t colorCount)
{
    SetDlgItemTextA(dialog, IDC_RELIEF_COLORS_LABEL, FormatColorCountLabel(colorCount).c_str());
}

void ShowDelay(HWND dialog, std::int32_t delay)
{
    SetDlgItemTextA(dialog, IDC_RELIEF_DELAY_LABEL, FormatDelayLabel(delay).c_str());
}

// The swatch and the preview are there only for a chosen colour.
void ShowColorChoice(HWND dialog)
{
    CheckRadioButton(dialog, IDC_RELIEF_RANDOM_COLOR, IDC_RELIEF_CHOSEN_COLOR,
                     gReliefSettings.UseColor != 0 ? IDC_RELIEF_CHOSEN_COLOR : IDC_RELIEF_RANDOM_COLOR);
    const int show = gReliefSettings.UseColor != 0 ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog, IDC_RELIEF_SWATCH), show);
    ShowWindow(GetDlgItem(dialog, IDC_RELIEF_PREVIEW), show);
}

void OnInitDialog(HWND dialog)
{
    LoadReliefSettingsFromProfile();
    SetUpSlider(dialog, kDegreesSlider, gReliefSettings.Degrees);
    SetUpSlider(dialog, kColorsSlider, ColorSliderPosition(gReliefSettings.ColorCount));
    SetUpSlider(dialog, kSoftenSlider, gReliefSettings.Soften);
    SetUpSlider(dialog, kDelaySlider, gReliefSettings.Delay);
    // The label tells the stored count, also when the slider shows another.
    ShowColorCount(dialog, gReliefSettings.ColorCount);
    ShowDelay(dialog, gReliefSettings.Delay);
    CheckDlgButton(dialog, IDC_RELIEF_INVERT, gReliefSettings.Invert == 1 ? BST_CHECKED : BST_UNCHECKED);
    ShowColorChoice(dialog);
}

void OnSliderMoved(HWND dialog, HWND slider)
{
    switch (GetDlgCtrlID(slider)) {
    case IDC_RELIEF_COLORS:
        gReliefSettings.ColorCount = ColorCountFromSliderPosition(SliderPosition(dialog, IDC_RELIEF_COLORS));
        ShowColorCount(dialog, gReliefSettings.ColorCount);
        if (gReliefSettings.UseColor != 0) InvalidateRect(GetDlgItem(dialog, IDC_RELIEF_PREVIEW), nullptr, TRUE);
        break;
    case IDC_RELIEF_DELAY:
        ShowDelay(dialog, SliderPosition(dialog, IDC_RELIEF_DELAY)); // stored only on OK
        break;
    default:
        break;
    }
}

void SaveAndClose(HWND dialog)
{
    gReliefSettings.Degrees = SliderPosition(dialog, IDC_RELIEF_DEGREES);
    gReliefSettings.ColorCount = ColorCountFromSliderPosition(SliderPosition(dialog, IDC_RELIEF_COLORS));
    gReliefSettings.Soften = SliderPosition(dialog, IDC_RELIEF_SOFTEN);
    gReliefSettings.Delay = SliderPosition(dialog, IDC_RELIEF_DELAY);
    gReliefSettings.Invert = IsDlgButtonChecked(dialog, IDC_RELIEF_INVERT) == BST_CHECKED ? 1 : 0;
    // UseColor follows the radio buttons; the colour is as loaded or chosen.
    SaveReliefSettingsToProfile();
    EndDialog(dialog, 1);
}

void ChooseBaseColor(HWND dialog)
{
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice; // 36 bytes only in 32-bit builds
    choice.hwndOwner = dialog;
    choice.hInstance = reinterpret_cast<HWND>(gReliefInstance != nullptr ? gReliefInstance : GetModuleHandleA(nullptr));
    choice.rgbResult = ReliefBaseColor();
    choice.lpCustColors = gCustomColors;
    choice.Flags = CC_RGBINIT;
    if (!ChooseColorA(&choice)) return; // cancelled: nothing changes
    gReliefSettings.RGB_Red = GetRValue(choice.rgbResult);
    gReliefSettings.RGB_Green = GetGValue(choice.rgbResult);
    gReliefSettings.RGB_Blue = GetBValue(choice.rgbResult);
    InvalidateRect(GetDlgItem(dialog, IDC_RELIEF_SWATCH), nullptr, TRUE);
    InvalidateRect(GetDlgItem(dialog, IDC_RELIEF_PREVIEW), nullptr, TRUE);
}

void OpenAuthorLink(HWND dialog, const char* target)
{
    ShellExecuteA(dialog, "open", target, nullptr, nullptr, SW_SHOW);
}

void OnCommand(HWND dialog, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    switch (id) {
    case IDOK:
    case IDC_RELIEF_OK:
        SaveAndClose(dialog);
        break;
    case IDC_RELIEF_CANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_RELIEF_MAIL:
        OpenAuthorLink(dialog, "mailto:" RELIEF_AUTHOR_MAIL);
        break;
    case IDC_RELIEF_HOME_PAGE:
        OpenAuthorLink(dialog, RELIEF_AUTHOR_HOME_PAGE);
        break;
    case IDC_RELIEF_RANDOM_COLOR:
    case IDC_RELIEF_CHOSEN_COLOR:
        if (HIWORD(wParam) != BN_CLICKED) break;
        gReliefSettings.UseColor = id == IDC_RELIEF_CHOSEN_COLOR ? 1 : 0;
        ShowColorChoice(dialog);
        break;
    case IDC_RELIEF_SWATCH:
        ChooseBaseColor(dialog);
        break;
    default:
        break; // IDCANCEL (the Esc key) among them: the dialog stays open
    }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    GdiObject brush(CreateSolidBrush(color));
    if (brush) FillRect(dc, &rect, static_cast<HBRUSH>(brush.handle));
}

void DrawColorSwatch(const DRAWITEMSTRUCT& item)
{
    RECT frame = item.rcItem;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH);
    RECT face = item.rcItem;
    // Pressed or released, the colour covers the frame too.
    if (item.itemAction == ODA_DRAWENTIRE || item.itemAction == ODA_FOCUS) {
        face.left += 1;
        face.top += 1;
        face.right -= 3;
        face.bottom -= 3;
    }
    FillSolid(item.hDC, face, ReliefBaseColor());
}

void DrawPalettePreview(const DRAWITEMSTRUCT& item)
{
    const RECT& strip = item.rcItem;
    const PalettePreview preview = ComputePalettePreview(ReliefBaseColor(), gReliefSettings.ColorCount, strip.right - strip.left);
    // Bands are laid out from x = 0, the strip's left edge.
    for (std::size_t i = 0; i < preview.bandColors.size(); ++i) {
        const int left = static_cast<int>(i) * preview.bandWidth;
        const RECT band = {left, strip.top, left + preview.bandWidth, strip.bottom};
        FillSolid(item.hDC, band, preview.bandColors[i]);
    }
    const RECT rest = {preview.restLeft, strip.top, strip.right, strip.bottom};
    FillSolid(item.hDC, rest, preview.lastColor);
}

void OnDrawItem(const DRAWITEMSTRUCT* item)
{
    if (item == nullptr) return;
    if (item->CtlID == IDC_RELIEF_SWATCH) DrawColorSwatch(*item);
    else if (item->CtlID == IDC_RELIEF_PREVIEW) DrawPalettePreview(*item);
}

// Selects a palette (realised) and selects the old one back at the end.
struct SelectedPalette {
    HDC dc;
    HPALETTE old;
    SelectedPalette(HDC d, HPALETTE palette, BOOL background) : dc(d), old(palette != nullptr ? SelectPalette(d, palette, background) : nullptr)
    {
        if (palette != nullptr) RealizePalette(d);
    }
    ~SelectedPalette() { if (old != nullptr) SelectPalette(dc, old, TRUE); }
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;
};

// A bitmap resource made into a device-dependent bitmap, with the logical
// palette of its colour table (none for pictures without one).
struct BannerBitmap {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
};

BannerBitmap LoadBannerBitmap(HINSTANCE module, int resourceId)
{
    BannerBitmap banner;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2) /* bitmap */);
    if (found == nullptr) return banner;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* start = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (start == nullptr || size < sizeof(BITMAPINFOHEADER)) return banner;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(start);
    DWORD colorCount = header->biBitCount <= 8 ? DWORD{1} << header->biBitCount : 0;
    if (header->biClrUsed != 0) colorCount = header->biClrUsed;
    // A header or colour table that overruns the resource gives no picture.
    if (header->biSize < sizeof(BITMAPINFOHEADER) || colorCount > 256 ||
        header->biSize + 4u * colorCount > size)
        return banner;
    // Compressed pixels are read as far as the header says: they must be there.
    const DWORD pixelBytes = size - header->biSize - 4u * colorCount;
    if ((header->biCompression == BI_RLE8 || header->biCompression == BI_RLE4) && header->biSizeImage > pixelBytes)
        return banner;
    const auto* table = reinterpret_cast<const RGBQUAD*>(start + header->biSize);

    if (colorCount != 0) {
        banner.palette = MakeLogicalPalette(colorCount, [table](std::size_t i) {
            return PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        });
    }
    WindowDc screen(nullptr);
    if (!screen) return banner;
    SelectedPalette screenPalette(screen.dc, banner.palette, FALSE);
    banner.bitmap = CreateDIBitmap(screen.dc, header, CBM_INIT, start + header->biSize + 4u * colorCount,
                                   reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    return banner;
}

void PaintReliefBanner(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (dc == nullptr) return;
    struct PaintEnd {
        HWND window;
        PAINTSTRUCT* paint;
        ~PaintEnd() { EndPaint(window, paint); }
    } end{dialog, &paint};

    RECT client{};
    GetClientRect(dialog, &client);
    MemoryDc memory(dc);
    const BannerBitmap banner = LoadBannerBitmap(GetModuleHandleA(nullptr), IDB_RELIEF_BANNER);
    GdiObject palette(banner.palette); // deleted last, after both contexts let it go
    GdiObject bitmap(banner.bitmap);
    if (!memory || !bitmap) return;
    SelectedPalette memoryPalette(memory.dc, banner.palette, FALSE);
    SelectedPalette paintPalette(dc, banner.palette, FALSE);
    SelectedObject selected(memory.dc, bitmap.handle);
    BITMAP size{};
    GetObjectA(bitmap.handle, sizeof size, &size);
    const RECT band = {0, 0, client.right, size.bmHeight};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    BitBlt(dc, BannerLeft(client.right - client.left, size.bmWidth), 0, size.bmWidth, size.bmHeight, memory.dc, 0, 0, SRCCOPY);
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: OnCommand(dialog, wParam); return TRUE;
    case WM_HSCROLL: OnSliderMoved(dialog, reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_DRAWITEM: OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_PAINT: PaintReliefBanner(dialog); return TRUE;
    // The close box ends the modal dialog as "&Annuler" does: nothing saved,
    // exit code 0, and the owner enabled again.
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_DESTROY: return TRUE;
    default: return FALSE;
    }
}

} // namespace

extern "C" BOOL WINAPI RegisterSaverDialogControls(HINSTANCE instance)
{
    gReliefInstance = instance;
    InitCommonControls(); // the dialog's sliders are trackbars
    return TRUE;
}

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return HandleDialogMessage(dialog, message, wParam, lParam);
    } catch (...) {
        // Out of memory while drawing: that drawing is skipped.
        return TRUE;
    }
}
