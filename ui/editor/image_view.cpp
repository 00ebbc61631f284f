#include "ui/editor/image_view.h"

#include <algorithm>

#include "core/no_throw.h"
#include "platform/region_gdi.h"
#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "res/resource_ids.h"

void ChooseViewMode(HWND hwnd, Overlay mode) {
    EditorDocument& document = Document();
    if (document.viewMode == mode) return;
    document.viewMode = mode;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ShowRegionsInView(HWND hwnd, HRGN workingCopy, HRGN selection) {
    EditorDocument& document = Document();
    document.shownWorkingCopy = workingCopy;
    document.shownSelection = selection;
    InvalidateRect(hwnd, nullptr, TRUE);
}

static COLORREF EffectiveBackground() {
    const COLORREF chosen = Document().inputs.backgroundColor;
    return chosen == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : chosen;
}

ViewContent ReadViewContent(HWND hwnd) {
    ViewContent content;
    content.picture = Document().hbmImage.get();
    content.width = Document().imageInfo.bmWidth;
    content.height = Document().imageInfo.bmHeight;
    content.scrollX = GetScrollPos(hwnd, SB_HORZ);
    content.scrollY = GetScrollPos(hwnd, SB_VERT);
    content.zoom = Document().zoom;
    content.background = EffectiveBackground();
    // While picking a color the bare picture shows.
    if (GetCapture() != hwnd) {
        const EditorDocument& document = Document();
        HRGN shown = document.shownSelection     ? document.shownSelection
                     : document.shownWorkingCopy ? document.shownWorkingCopy
                                                 : document.hrgnCurrent.get();
        if (shown) {
            content.region = shown;
            content.overlay = Document().viewMode;
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
// box (both given in client pixels), except inside the region.
static void DrawTransparencyOverlay(HDC dc, HRGN region, const RECT& pictureArea, const RECT& box,
                                    COLORREF background) {
    OwnedRegion outside(CreateRectRgnIndirect(&pictureArea));
    if (!outside) return;
    OwnedRegion boxRegion(CreateRectRgnIndirect(&box));
    if (boxRegion) CombineRgn(outside.get(), outside.get(), boxRegion.get(), RGN_OR);
    CombineRgn(outside.get(), region, outside.get(), RGN_XOR);
    OwnedBrush brush(CreateSolidBrush(background));
    if (brush) FillRgn(dc, outside.get(), brush.get());
}

// A rectangle in picture pixels as the view shows it, in client pixels.
static RECT ToClient(const RECT& picture, const ViewContent& content) {
    const int z = content.zoom;
    return {picture.left * z - content.scrollX, picture.top * z - content.scrollY, picture.right * z - content.scrollX,
            picture.bottom * z - content.scrollY};
}

// The part of `region` inside `visible` (picture pixels), scaled and moved as
// the view shows it. Only the visible rectangles are touched, so the cost
// follows the client area, not the picture or the magnification.
static OwnedRegion ScaleVisiblePart(HRGN region, const RECT& visible, const ViewContent& content) {
    OwnedRegion part(CreateRectRgnIndirect(&visible));
    if (!part || CombineRgn(part.get(), part.get(), region, RGN_AND) == ERROR) return {};
    return OwnedRegion(ResultOrFailure<HRGN>(nullptr, [&]() -> HRGN {
        RegionRects rects;
        if (!FetchRegionRects(part.get(), rects)) return nullptr;
        for (RegionRect& rect : rects) {
            const RECT shown = ToClient({rect.left, rect.top, rect.right, rect.bottom}, content);
            rect = {shown.left, shown.top, shown.right, shown.bottom};
        }
        return CreateRegionFromRects(rects);
    }));
}

// The region as the view shows it: moved by the scroll position, and when
// magnified also scaled, cut to what shows.
static OwnedRegion ShownRegion(const ViewContent& content, const RECT& visible) {
    if (content.zoom > 1) return ScaleVisiblePart(content.region, visible, content);
    // The stored region stays in picture coordinates; a copy is moved.
    OwnedRegion shown(CreateRectRgn(0, 0, 0, 0));
    if (!shown || CombineRgn(shown.get(), content.region, content.region, RGN_COPY) == ERROR) return {};
    OffsetRgn(shown.get(), -content.scrollX, -content.scrollY);
    return shown;
}

static void DrawOverlay(HDC dc, const ViewContent& content, const RECT& visible) {
    OwnedRegion shown = ShownRegion(content, visible);
    if (!shown) return;
    if (content.overlay == Overlay::Mask) {
        DrawMaskOverlay(dc, shown.get());
        return;
    }
    // Magnified, the box only matters where it shows: it is cut first, so that
    // a file's far coordinates cannot overflow when scaled.
    RECT box{}, shownBox{};
    if (content.zoom == 1) {
        GetRgnBox(shown.get(), &shownBox);
    } else {
        GetRgnBox(content.region, &box);
        if (IntersectRect(&shownBox, &box, &visible)) shownBox = ToClient(shownBox, content);
    }
    const RECT picture = {0, 0, content.width, content.height};
    DrawTransparencyOverlay(dc, shown.get(), ToClient(picture, content), shownBox, content.background);
}

// From this magnification on, a line separates the pixels.
constexpr int kGridZoom = 8;

// A one-pixel line on each shown square's top row and left column, so the rest
// of the square keeps the pixel's color. The line alternates black and white
// pixels: half of it stands out on any picture and over either overlay.
static void DrawPixelGrid(HDC dc, const ViewContent& content, const RECT& columns) {
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    OwnedBitmap pattern(CreateBitmap(8, 8, 1, 1, kChecker));
    OwnedBrush brush(pattern ? CreatePatternBrush(pattern.get()) : nullptr);
    Selection selected(dc, brush.get());
    if (!selected) return;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    const RECT area = ToClient(columns, content);
    const int z = content.zoom;
    for (int x = area.left; x < area.right; x += z) PatBlt(dc, x, area.top, 1, area.bottom - area.top, PATCOPY);
    for (int y = area.top; y < area.bottom; y += z) PatBlt(dc, area.left, y, area.right - area.left, 1, PATCOPY);
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
    // The picture pixels that show, whole or in part: only they are drawn.
    const int z = content.zoom;
    const RECT visible = {content.scrollX / z, content.scrollY / z, (content.scrollX + width + z - 1) / z,
                          (content.scrollY + height + z - 1) / z};
    const RECT picture = {0, 0, content.width, content.height};
    RECT columns{};
    IntersectRect(&columns, &visible, &picture);
    if (pictureSelected && z == 1) {
        BitBlt(offscreen.get(), 0, 0, content.width, content.height, pictureDc.get(), content.scrollX, content.scrollY,
               SRCCOPY);
    } else if (pictureSelected && !IsRectEmpty(&columns)) {
        // Each picture pixel a square of whole screen pixels, without smoothing.
        const RECT shown = ToClient(columns, content);
        SetStretchBltMode(offscreen.get(), COLORONCOLOR);
        StretchBlt(offscreen.get(), shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
                   pictureDc.get(), columns.left, columns.top, columns.right - columns.left,
                   columns.bottom - columns.top, SRCCOPY);
    }
    if (content.region && content.overlay != Overlay::None) DrawOverlay(offscreen.get(), content, visible);
    if (z >= kGridZoom && !IsRectEmpty(&columns)) DrawPixelGrid(offscreen.get(), content, columns);
    BitBlt(target, area.left, area.top, width, height, offscreen.get(), 0, 0, SRCCOPY);
}

BOOL PaintEditorView(HWND hwnd) {
    if (!Document().hbmImage) return FALSE;
    RECT client{};
    GetClientRect(hwnd, &client);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (dc) ComposeView(dc, client, ReadViewContent(hwnd));
    EndPaint(hwnd, &paint);
    return TRUE;
}

BOOL SuppressEraseWithPicture(HWND hwnd) {
    if (!Document().hbmImage) return FALSE;
    // The paint covers the whole client area; erasing first would only flicker.
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
    return TRUE;
}

BOOL ReportMinimumTrackingSize(MINMAXINFO* info) {
    if (!Document().hbmImage) return FALSE;
    info->ptMinTrackSize.x = 280;
    info->ptMinTrackSize.y = 2 * (GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION));
    return TRUE;
}

// The picture's extent on screen along a bar, at the current magnification.
static int ZoomedExtent(int bar) {
    const EditorDocument& document = Document();
    return (bar == SB_HORZ ? document.imageInfo.bmWidth : document.imageInfo.bmHeight) * document.zoom;
}

static void SetScrollRanges(HWND hwnd, const RECT& client) {
    SetScrollRange(hwnd, SB_HORZ, 0, std::max(0, static_cast<int>(ZoomedExtent(SB_HORZ) - client.right)), TRUE);
    SetScrollRange(hwnd, SB_VERT, 0, std::max(0, static_cast<int>(ZoomedExtent(SB_VERT) - client.bottom)), TRUE);
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
    EditorDocument& document = Document();
    if (document.sizeGuard || sizeType == SIZE_MINIMIZED) return;
    // Showing or hiding a scroll bar below changes the client area and sends a
    // nested WM_SIZE, which the guard ignores.
    ++document.sizeGuard;
    RECT client{};
    GetClientRect(hwnd, &client);
    // Both ranges from the client size taken before either bar changed it.
    if (document.hbmImage) SetScrollRanges(hwnd, client);
    CenterNoPictureText(hwnd, client);
    InvalidateRect(hwnd, nullptr, TRUE);
    --document.sizeGuard;
}

// The message carries 16 bits of the thumb's position, but a magnified picture
// can be longer: while the thumb is dragged its own position is taken when the
// low bits agree.
static int ThumbPosition(HWND hwnd, int bar, int reported) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (Document().zoom > 1 && GetScrollInfo(hwnd, bar, &info) && (info.nTrackPos & 0xFFFF) == reported)
        return info.nTrackPos;
    return reported;
}

void ScrollEditorView(HWND hwnd, int bar, WPARAM request) {
    const EditorDocument& document = Document();
    if (!document.hbmImage) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int current = GetScrollPos(hwnd, bar);
    // A line is one picture pixel.
    const int line = document.zoom;
    int position;
    switch (LOWORD(request)) {
    case SB_LINEUP: position = current - line; break;
    case SB_LINEDOWN: position = current + line; break;
    // The page is the client height for both bars.
    case SB_PAGEUP: position = current - client.bottom; break;
    case SB_PAGEDOWN: position = current + client.bottom; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = ThumbPosition(hwnd, bar, HIWORD(request)); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = ZoomedExtent(bar) - (bar == SB_VERT ? client.bottom : client.right); break;
    default: return;
    }
    // SetScrollPos keeps the position inside the bar's range.
    SetScrollPos(hwnd, bar, position, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// 0 for 100%, 1 for 200%, ... 4 for 1600%.
static int ZoomLevel(int zoom) {
    int level = 0;
    while ((1 << level) < zoom) ++level;
    return level;
}

void UpdateZoomMenu(HMENU menu) {
    const EditorDocument& document = Document();
    const bool picture = document.hbmImage.get() != nullptr;
    EnableMenuItem(menu, IDM_ZOOM_IN, MF_BYCOMMAND | (picture && document.zoom < kMaxZoom ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_ZOOM_OUT, MF_BYCOMMAND | (picture && document.zoom > 1 ? MF_ENABLED : MF_GRAYED));
    for (UINT id = IDM_ZOOM_100; id <= IDM_ZOOM_1600; ++id)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (picture ? MF_ENABLED : MF_GRAYED));
    CheckMenuRadioItem(menu, IDM_ZOOM_100, IDM_ZOOM_1600, IDM_ZOOM_100 + ZoomLevel(document.zoom), MF_BYCOMMAND);
}

void ZoomEditorView(HWND hwnd, int zoom, POINT anchor) {
    EditorDocument& document = Document();
    zoom = std::max(1, std::min(kMaxZoom, zoom));
    if (!document.hbmImage || zoom == document.zoom) return;
    // The picture point under the anchor, in pixels of the old magnification.
    const long long anchorX = anchor.x + GetScrollPos(hwnd, SB_HORZ);
    const long long anchorY = anchor.y + GetScrollPos(hwnd, SB_VERT);
    const int old = document.zoom;
    document.zoom = zoom;
    // A bar that comes or goes changes the client area: the ranges are set
    // again until it stays, then the positions are kept within them.
    RECT before{}, after{};
    for (int pass = 0; pass < 3; ++pass) {
        GetClientRect(hwnd, &before);
        SetScrollRanges(hwnd, before);
        GetClientRect(hwnd, &after);
        if (EqualRect(&before, &after)) break;
    }
    SetScrollPos(hwnd, SB_HORZ, static_cast<int>(anchorX * zoom / old - anchor.x), TRUE);
    SetScrollPos(hwnd, SB_VERT, static_cast<int>(anchorY * zoom / old - anchor.y), TRUE);
    UpdateMenuStates(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Menu and keys keep the picture point at the view's center where it was.
void DoZoomCommand(HWND hwnd, int zoom) {
    RECT client{};
    GetClientRect(hwnd, &client);
    ZoomEditorView(hwnd, zoom, {client.right / 2, client.bottom / 2});
}

void DoZoomInCommand(HWND hwnd) { DoZoomCommand(hwnd, Document().zoom * 2); }
void DoZoomOutCommand(HWND hwnd) { DoZoomCommand(hwnd, Document().zoom / 2); }

BOOL TurnWheel(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    EditorDocument& document = Document();
    if (!document.hbmImage) return FALSE;
    enum { kScroll, kScrollSideways, kZoom };
    const WORD keys = LOWORD(wParam);
    const int kind = keys & MK_CONTROL ? kZoom : keys & MK_SHIFT ? kScrollSideways : kScroll;
    if (kind != document.wheelKind) document.wheelRest = 0;
    document.wheelKind = kind;
    // Fine-grained wheels send parts of a notch; they add up to whole notches.
    const int turned = document.wheelRest + GET_WHEEL_DELTA_WPARAM(wParam);
    const int notches = turned / WHEEL_DELTA;
    document.wheelRest = turned % WHEEL_DELTA;
    if (notches == 0) return TRUE;
    if (kind == kZoom) {
        POINT cursor = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(hwnd, &cursor);
        // Turned away from the user: in, a level a notch.
        const int level = std::max(0, std::min(ZoomLevel(kMaxZoom), ZoomLevel(document.zoom) + notches));
        ZoomEditorView(hwnd, 1 << level, cursor);
        return TRUE;
    }
    // Three lines a notch; turned away from the user: up, or left.
    const int bar = kind == kScrollSideways ? SB_HORZ : SB_VERT;
    SetScrollPos(hwnd, bar, GetScrollPos(hwnd, bar) - notches * 3 * document.zoom, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}
