#include "ui/editor/image_view.h"

#include <algorithm>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "res/resource_ids.h"

void ChooseViewMode(HWND hwnd, Overlay mode) {
    if (editor.viewMode == mode) return;
    editor.viewMode = mode;
    UpdateMenuStates(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
}

static COLORREF EffectiveBackground() {
    return editor.backgroundColor == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : editor.backgroundColor;
}

ViewContent ReadViewContent(HWND hwnd) {
    ViewContent content;
    content.picture = editor.hbmImage;
    content.width = editor.imageInfo.bmWidth;
    content.height = editor.imageInfo.bmHeight;
    content.scrollX = GetScrollPos(hwnd, SB_HORZ);
    content.scrollY = GetScrollPos(hwnd, SB_VERT);
    content.background = EffectiveBackground();
    // While picking a color the bare picture shows.
    if (GetCapture() != hwnd) {
        HRGN shown = editor.hrgnSelection ? editor.hrgnSelection
                     : editor.hrgnEditing ? editor.hrgnEditing
                                          : editor.hrgnCurrent;
        if (shown) {
            content.region = shown;
            content.overlay = editor.viewMode;
        }
    }
    return content;
}

// Hatches every pixel of the region opaquely: the gaps between the hatch lines
// take the button-face color.
static void DrawMaskOverlay(HDC dc, HRGN region) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    OwnedBrush hatch(CreateHatchBrush(HS_DIAGCROSS, GetSysColor(COLOR_BTNTEXT)));
    if (hatch) FillRgn(dc, region, hatch.get());
}

// Paints the background color over the picture area and the region's bounding
// box, except inside the region.
static void DrawTransparencyOverlay(HDC dc, HRGN region, const ViewContent& content) {
    OwnedRegion outside(CreateRectRgn(0, 0, content.width, content.height));
    if (!outside) return;
    OffsetRgn(outside.get(), -content.scrollX, -content.scrollY);
    RECT box{};
    GetRgnBox(region, &box);
    OwnedRegion boxRegion(CreateRectRgnIndirect(&box));
    if (boxRegion) CombineRgn(outside.get(), outside.get(), boxRegion.get(), RGN_OR);
    CombineRgn(outside.get(), region, outside.get(), RGN_XOR);
    OwnedBrush brush(CreateSolidBrush(content.background));
    if (brush) FillRgn(dc, outside.get(), brush.get());
}

void ComposeView(HDC target, const RECT& area, const ViewContent& content) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    OwnedMemoryDc pictureDc(CreateCompatibleDC(target));
    Selection pictureSelected(pictureDc.get(), content.picture);
    OwnedMemoryDc offscreen(CreateCompatibleDC(target));
    OwnedBitmap canvas(CreateCompatibleBitmap(target, width, height));
    Selection canvasSelected(offscreen.get(), canvas.get());
    if (!canvasSelected) return;

    const RECT whole = {0, 0, width, height};
    OwnedBrush background(CreateSolidBrush(content.background));
    if (background) FillRect(offscreen.get(), &whole, background.get());
    if (pictureSelected)
        BitBlt(offscreen.get(), 0, 0, content.width, content.height, pictureDc.get(), content.scrollX, content.scrollY,
               SRCCOPY);

    if (content.region && content.overlay != Overlay::None) {
        // The stored region stays in picture coordinates; a copy is moved.
        OwnedRegion shown(CreateRectRgn(0, 0, 0, 0));
        if (shown && CombineRgn(shown.get(), content.region, content.region, RGN_COPY) != ERROR) {
            OffsetRgn(shown.get(), -content.scrollX, -content.scrollY);
            if (content.overlay == Overlay::Mask) DrawMaskOverlay(offscreen.get(), shown.get());
            else DrawTransparencyOverlay(offscreen.get(), shown.get(), content);
        }
    }
    BitBlt(target, area.left, area.top, width, height, offscreen.get(), 0, 0, SRCCOPY);
}

BOOL PaintEditorView(HWND hwnd) {
    if (!editor.hbmImage) return FALSE;
    RECT client{};
    GetClientRect(hwnd, &client);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc) ComposeView(dc, client, ReadViewContent(hwnd));
    EndPaint(hwnd, &paint);
    return TRUE;
}

BOOL SuppressEraseWithPicture(HWND hwnd) {
    if (!editor.hbmImage) return FALSE;
    // The paint covers the whole client area; erasing first would only flicker.
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
    return TRUE;
}

BOOL ReportMinimumTrackingSize(MINMAXINFO* info) {
    if (!editor.hbmImage) return FALSE;
    info->ptMinTrackSize.x = 280;
    info->ptMinTrackSize.y = 2 * (GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION));
    return TRUE;
}

static void SetScrollRanges(HWND hwnd, const RECT& client) {
    SetScrollRange(hwnd, SB_HORZ, 0, std::max(0, static_cast<int>(editor.imageInfo.bmWidth - client.right)), TRUE);
    SetScrollRange(hwnd, SB_VERT, 0, std::max(0, static_cast<int>(editor.imageInfo.bmHeight - client.bottom)), TRUE);
}

void SetScrollRangesForPicture(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    SetScrollRanges(hwnd, client);
}

static void CenterNoPictureText(HWND hwnd, const RECT& client) {
    HWND text = GetDlgItem(hwnd, IDC_NO_PICTURE);
    RECT box{};
    if (!text || !GetWindowRect(text, &box)) return;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    MoveWindow(text, (client.right - width) >> 1, (client.bottom - height) >> 1, width, height, TRUE);
}

void ResizeEditorView(HWND hwnd, WPARAM sizeType) {
    if (editor.sizeGuard || sizeType == SIZE_MINIMIZED) return;
    // Showing or hiding a scroll bar below changes the client area and sends a
    // nested WM_SIZE, which the guard ignores.
    ++editor.sizeGuard;
    RECT client{};
    GetClientRect(hwnd, &client);
    // Both ranges from the client size taken before either bar changed it.
    if (editor.hbmImage) SetScrollRanges(hwnd, client);
    CenterNoPictureText(hwnd, client);
    InvalidateRect(hwnd, nullptr, TRUE);
    --editor.sizeGuard;
}

void ScrollEditorView(HWND hwnd, int bar, WPARAM request) {
    if (!editor.hbmImage) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int current = GetScrollPos(hwnd, bar);
    int position;
    switch (LOWORD(request)) {
    case SB_LINEUP: position = current - 1; break;
    case SB_LINEDOWN: position = current + 1; break;
    // The page is the client height for both bars.
    case SB_PAGEUP: position = current - client.bottom; break;
    case SB_PAGEDOWN: position = current + client.bottom; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = HIWORD(request); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM:
        position = bar == SB_VERT ? editor.imageInfo.bmHeight - client.bottom : editor.imageInfo.bmWidth - client.right;
        break;
    default: return;
    }
    // SetScrollPos keeps the position inside the bar's range.
    SetScrollPos(hwnd, bar, position, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
}
