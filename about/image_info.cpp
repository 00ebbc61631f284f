// "Image information": file name, size, aspect ratio and memory of the picture.
#include <windows.h>

#include <cmath>

#include "about/about_dialogs.h"
#include "about/format_real.h"
#include "editor/editor_state.h"
#include "res/resource_ids.h"

std::string MemoryFigure(long long width, long long height, unsigned bitsPerPixel, unsigned planes) {
    // In floating point, rounded to the nearest integer; a figure past 32 bits
    // is shown whole rather than wrapped.
    const double bytes = static_cast<double>(width) * static_cast<double>(height) * bitsPerPixel * planes / 8.0;
    return std::to_string(static_cast<unsigned long long>(std::llround(bytes)));
}

static void FillImageInfo(HWND hwnd) {
    const BITMAP& info = editor.imageInfo;
    const double ratio = static_cast<double>(info.bmWidth) / static_cast<double>(info.bmHeight);
    char ratioText[kFormatRealBufferSize];
    FormatReal(ratio, ratioText);
    SetDlgItemTextA(hwnd, IDC_INFO_FILE_NAME, editor.imageFileName);
    SetDlgItemInt(hwnd, IDC_INFO_WIDTH, static_cast<UINT>(info.bmWidth), TRUE);
    SetDlgItemInt(hwnd, IDC_INFO_HEIGHT, static_cast<UINT>(info.bmHeight), TRUE);
    SetDlgItemTextA(hwnd, IDC_INFO_ASPECT, ratioText);
    SetDlgItemTextA(hwnd, IDC_INFO_MEMORY,
                    MemoryFigure(info.bmWidth, info.bmHeight, info.bmBitsPixel, info.bmPlanes).c_str());
    CenterOnOwner(hwnd);
}

INT_PTR CALLBACK ImageInfoDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: FillImageInfo(hwnd); return TRUE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}
