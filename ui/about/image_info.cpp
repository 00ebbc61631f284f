// "Image information": file name, size, aspect ratio and memory of the picture.
#include <windows.h>

#include "ui/about/about_dialogs.h"
#include "core/format_real.h"
#include "core/no_throw.h"
#include "platform/module.h"
#include "ui/shared/dialog_support.h"
#include "res/resource_ids.h"

static void FillImageInfo(HWND hwnd, const ImageInfoData& data) {
    const BITMAP& info = data.bitmap;
    const double ratio = DivideAsExtended(info.bmWidth, info.bmHeight);
    char ratioText[kFormatRealBufferSize];
    FormatReal(ratio, ratioText);
    SetDlgItemTextA(hwnd, IDC_INFO_FILE_NAME, data.fileName);
    SetDlgItemInt(hwnd, IDC_INFO_WIDTH, static_cast<UINT>(info.bmWidth), TRUE);
    SetDlgItemInt(hwnd, IDC_INFO_HEIGHT, static_cast<UINT>(info.bmHeight), TRUE);
    SetDlgItemTextA(hwnd, IDC_INFO_ASPECT, ratioText);
    // The figure's text needs memory; without it the field stays empty.
    ResultOrFailure(false, [&] {
        return SetDlgItemTextA(hwnd, IDC_INFO_MEMORY,
                               MemoryFigure(info.bmWidth, info.bmHeight, info.bmBitsPixel, info.bmPlanes).c_str()) != 0;
    });
    CenterOnOwner(hwnd);
}

static INT_PTR HandleImageInfoMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: FillImageInfo(hwnd, *reinterpret_cast<const ImageInfoData*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK ImageInfoDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleImageInfoMessage, hwnd, message, wParam, lParam);
}

void ShowImageInfo(HWND owner, const ImageInfoData& data) {
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_IMAGE_INFO), owner, ImageInfoDlgProc,
                    reinterpret_cast<LPARAM>(&data));
}
