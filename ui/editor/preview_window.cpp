#include "ui/editor/preview_window.h"

#include "core/no_throw.h"
#include "platform/module.h"
#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "res/resource_ids.h"

namespace {

// What the preview shows; both stay the editor's, the window takes a copy of the region.
struct PreviewData {
    HBITMAP picture;
    HRGN region;
    int width;
    int height;
};

BOOL OnInitPreview(HWND hwnd, const PreviewData* data) {
    SetWindowTextA(hwnd, "Preview");  // a name for the taskbar and Alt+Tab; no caption bar shows it
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data->picture));
    MoveWindow(hwnd, 0, 0, data->width, data->height, FALSE);
    OwnedRegion shape(CreateRectRgn(0, 0, 0, 0));
    if (!shape || CombineRgn(shape.get(), data->region, nullptr, RGN_COPY) == ERROR ||
        !SetWindowRgn(hwnd, shape.get(), FALSE)) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    shape.release();  // the window owns it now
    CenterOnOwner(hwnd);
    return TRUE;
}

void PaintPreview(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    OwnedMemoryDc memory(CreateCompatibleDC(dc));
    Selection selected(memory.get(), picture);
    if (selected) {
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), r.left, r.top, SRCCOPY);
    }
    EndPaint(hwnd, &paint);
}

// A dialog procedure's answer to a message whose result is not TRUE or FALSE.
BOOL Answer(HWND hwnd, LRESULT result) {
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// Every point of the shape acts as a caption, so the window is dragged by any
// of them; right clicks and double clicks then arrive as non-client ones.
INT_PTR HandlePreviewMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitPreview(hwnd, reinterpret_cast<const PreviewData*>(lParam));
    case WM_PAINT: PaintPreview(hwnd); return TRUE;
    case WM_ERASEBKGND: return Answer(hwnd, 1);
    case WM_NCHITTEST: return Answer(hwnd, HTCAPTION);
    case WM_NCRBUTTONDOWN: return TRUE;  // no system menu
    case WM_NCRBUTTONUP:
    case WM_NCLBUTTONDBLCLK: EndDialog(hwnd, 0); return TRUE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) EndDialog(hwnd, 0);
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK PreviewDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandlePreviewMessage, hwnd, message, wParam, lParam);
}

}  // namespace

void DoPreviewCommand(HWND hwnd) {
    const EditorDocument& document = Document();
    if (!document.hbmImage || !document.hrgnCurrent) return;
    PreviewData data = {document.hbmImage.get(), document.hrgnCurrent.get(), document.imageInfo.bmWidth,
                        document.imageInfo.bmHeight};
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PREVIEW), hwnd, PreviewDlgProc, reinterpret_cast<LPARAM>(&data));
}
