// The About box: the About picture in a window cut to its outline, with the
// version line over it; also the one-second splash when the editor opens.
#include <windows.h>

#include <cstdint>

#include "core/no_throw.h"
#include "core/region_data.h"
#include "core/version.h"
#include "ui/about/about_dialogs.h"
#include "platform/dialog_resource.h"
#include "platform/module.h"
#include "platform/resource_bytes.h"
#include "platform/win_handles.h"
#include "ui/shared/dialog_support.h"
#include "platform/picture_loading.h"
#include "platform/region_gdi.h"
#include "res/resource_ids.h"

static const char kVersionLine[] = PELLFORM_VERSION_LINE;
static const char kCreditText[] = "Pellform by the Pellform developers\r\n" PELLFORM_VERSION_LINE;
static const UINT_PTR kCloseTimer = 1;

static LOGFONTA aboutFont = {0, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New"};

static MSGBOXPARAMSA AboutMessageBox() {
    MSGBOXPARAMSA box{};
    box.cbSize = sizeof box;
    box.hInstance = hInstance;
    box.lpszText = kCreditText;
    box.lpszCaption = "About...";
    box.dwStyle = MB_USERICON;
    box.lpszIcon = MAKEINTRESOURCEA(IDI_EDITOR);
    return box;
}

static void SetFontHeightFromScreen(HWND hwnd) {
    WindowDc dc(hwnd);
    aboutFont.lfHeight = static_cast<LONG>(static_cast<unsigned>(GetDeviceCaps(dc.get(), LOGPIXELSY)) * 10u / 72u);
}

// The window takes the outline; false when it cannot be had.
static bool ShapeWindow(HWND hwnd) {
    const ResourceBytes bytes = FindResourceBytes(hInstance, MAKEINTRESOURCEA(IDR_ABOUT_OUTLINE), RT_RCDATA);
    RegionRects rects;
    if (!bytes.data || !ResultOrFailure(false, [&] {
            return DecodeRegionData(static_cast<const std::uint8_t*>(bytes.data), bytes.size, rects);
        }))
        return false;
    OwnedRegion outline(CreateRegionFromRects(rects));
    if (!outline || !SetWindowRgn(hwnd, outline.get(), FALSE)) return false;
    outline.release();  // the window owns it now
    return true;
}

// The splash is modeless: ending it must destroy it, or its window, picture and
// outline would live hidden until the editor closes. The Help menu's box is modal.
static void CloseAbout(HWND hwnd) {
    if (GetWindowLongPtrA(hwnd, DWLP_USER)) DestroyWindow(hwnd);
    else EndDialog(hwnd, 0);
}

static BOOL OnInitAbout(HWND hwnd, LPARAM displayTime) {
    SetWindowLongPtrA(hwnd, DWLP_USER, static_cast<int>(displayTime) != -1);
    SetFontHeightFromScreen(hwnd);
    OwnedBitmap picture;
    if (ShapeWindow(hwnd)) picture.reset(LoadPictureResource(hInstance, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE)));
    if (!picture) {
        MSGBOXPARAMSA box = AboutMessageBox();
        MessageBoxIndirectA(&box);
        CloseAbout(hwnd);
        return TRUE;
    }
    BITMAP size{};
    GetObjectA(picture.get(), sizeof size, &size);
    // The window holds it until it is destroyed.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture.release()));
    MoveWindow(hwnd, 0, 0, size.bmWidth, size.bmHeight, FALSE);
    CenterOnOwner(hwnd);
    if (static_cast<int>(displayTime) != -1) SetTimer(hwnd, kCloseTimer, static_cast<UINT>(displayTime), nullptr);
    return TRUE;
}

// The whole picture is drawn with the frame, on the window's own DC.
static void PaintAbout(HWND hwnd) {
    auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!picture) return;
    HDC window = GetWindowDC(hwnd);
    if (!window) return;
    {
        OwnedMemoryDc memory(CreateCompatibleDC(window));
        Selection pictureSelected(memory.get(), picture);
        OwnedFont font(CreateFontIndirectA(&aboutFont));
        Selection fontSelected(window, font.get());
        BITMAP size{};
        GetObjectA(picture, sizeof size, &size);
        if (pictureSelected) BitBlt(window, 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
        SetBkMode(window, TRANSPARENT);
        SetTextColor(window, RGB(0, 0, 255));
        RECT line = {160, 180, 240, 200};
        DrawTextA(window, kVersionLine, -1, &line,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX);
    }
    ReleaseDC(hwnd, window);
}

// The window held its picture from WM_INITDIALOG on; this takes it back.
static OwnedBitmap TakeAboutPicture(HWND hwnd) {
    return OwnedBitmap(reinterpret_cast<HBITMAP>(SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0)));
}

static INT_PTR HandleAboutMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitAbout(hwnd, lParam);
    case WM_NCPAINT: PaintAbout(hwnd); return FALSE;
    case WM_ERASEBKGND: SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1); return TRUE;
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        CloseAbout(hwnd);
        return FALSE;
    case WM_LBUTTONUP: CloseAbout(hwnd); return FALSE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) CloseAbout(hwnd);
        return FALSE;
    case WM_DESTROY: TakeAboutPicture(hwnd); return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleAboutMessage, hwnd, message, wParam, lParam);
}

void ShowAboutBox(HWND owner, int displayTime) {
    if (displayTime == -1)
        DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, displayTime);
    else
        CreateDialogFromResource(hInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, displayTime);
}
