// The view of picture and region in the editor's client area.
#ifndef PELLFORM_IMAGE_VIEW_H
#define PELLFORM_IMAGE_VIEW_H

#include <windows.h>

#include "ui/editor/editor_state.h"

// Everything one paint shows, read from the editor's state and window.
struct ViewContent {
    HBITMAP picture = nullptr;
    int width = 0;
    int height = 0;
    int scrollX = 0;
    int scrollY = 0;
    int zoom = 1;  // picture pixel (x, y) fills the zoom-sided square at (x * zoom - scrollX, ...)
    HRGN region = nullptr;  // in picture coordinates; null: nothing over the picture
    Overlay overlay = Overlay::None;
    COLORREF background = 0;
};

ViewContent ReadViewContent(HWND hwnd);

// Has the view of editor window `hwnd` draw `workingCopy` in place of the
// current region, or `selection` when there is one; nulls give it back. The
// caller keeps both and must give the view nulls before it frees them.
void ShowRegionsInView(HWND hwnd, HRGN workingCopy, HRGN selection);

// Composes the view of `area`'s size off screen and copies it to `target` at
// `area`'s top-left in one blit, so nothing flickers.
void ComposeView(HDC target, const RECT& area, const ViewContent& content);

// The editor's message handlers for the view; each returns the dialog result.
BOOL PaintEditorView(HWND hwnd);
BOOL SuppressEraseWithPicture(HWND hwnd);
BOOL ReportMinimumTrackingSize(MINMAXINFO* info);
void ResizeEditorView(HWND hwnd, WPARAM sizeType);
void ScrollEditorView(HWND hwnd, int bar, WPARAM request);
// Sets both scroll ranges from the magnified picture and the client area.
void SetScrollRangesForPicture(HWND hwnd);

// Magnifies the view to `zoom` (clamped to 1 .. kMaxZoom), keeping the picture
// point at `anchor` (client pixels) where it is, as far as scrolling allows.
void ZoomEditorView(HWND hwnd, int zoom, POINT anchor);
// "Zoom in", "Zoom out" and the levels: about the view's center.
void DoZoomCommand(HWND hwnd, int zoom);
void DoZoomInCommand(HWND hwnd);
void DoZoomOutCommand(HWND hwnd);
// WM_MOUSEWHEEL: scrolls, with Shift sideways, with Ctrl zooms about the cursor.
BOOL TurnWheel(HWND hwnd, WPARAM wParam, LPARAM lParam);
// Grays, enables and checks the "Zoom" items from the state.
void UpdateZoomMenu(HMENU menu);

#endif
