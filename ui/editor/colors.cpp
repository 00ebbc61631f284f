#include "ui/editor/colors.h"

#include <cstring>
#include <vector>

#include "core/no_throw.h"
#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/region_files.h"
#include "ui/editor/tolerance_dialog.h"

static const char kAppearanceKey[] = "Control Panel\\Appearance";
static const char kCustomColorsValue[] = "CustomColors";

void InitializeColorDialog(CHOOSECOLORA& dialog) {
    dialog.lStructSize = sizeof(CHOOSECOLORA);
    dialog.lpCustColors = editor.customColors;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
}

void StartPickMode(HWND hwnd) {
    if (!editor.hbmImage) return;
    SetCapture(hwnd);
    // The view shows the bare picture while the capture lasts.
    InvalidateRect(hwnd, nullptr, TRUE);
}

static bool ReadPictureColor(HWND hwnd, int x, int y, COLORREF& color) {
    if (x < 0 || y < 0 || x >= editor.imageInfo.bmWidth || y >= editor.imageInfo.bmHeight) return false;
    OwnedMemoryDc memory;
    {
        WindowDc window(hwnd);
        memory.reset(CreateCompatibleDC(window.get()));
    }
    if (!memory) return false;
    Selection selected(memory.get(), editor.hbmImage.get());
    if (!selected) return false;
    color = GetPixel(memory.get(), x, y);
    return color != CLR_INVALID;
}

void PickColorAt(HWND hwnd, LPARAM clientPoint) {
    if (GetCapture() != hwnd) return;
    bool picked = false;
    POINT cursor{};
    // A click on the caption or the menu bar also ends pick mode, picking nothing.
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == hwnd) {
        // The picture pixel whose square is under the cursor.
        const int x = (LOWORD(clientPoint) + GetScrollPos(hwnd, SB_HORZ)) / editor.zoom;
        const int y = (HIWORD(clientPoint) + GetScrollPos(hwnd, SB_VERT)) / editor.zoom;
        COLORREF color = 0;
        if (ReadPictureColor(hwnd, x, y, color)) {
            editor.maskColor = color;
            picked = true;
        }
    }
    ReleaseCapture();
    if (picked) ApplyMaskColor(hwnd);
    else InvalidateRect(hwnd, nullptr, TRUE);
}

void CancelPickMode(HWND hwnd) {
    if (GetCapture() != hwnd) return;
    ReleaseCapture();
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ApplyMaskColor(HWND hwnd) {
    BeginBusy();
    HRGN region = BuildRegionFromImage();
    EndBusy();
    if (!region) {
        ShowError(kInternalErrorText);
    } else {
        editor.hrgnCurrent.reset(region);
        editor.regionCommandsOffered = true;
        UpdateMenuStates(hwnd);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Reads the shared custom colors. A shorter value replaces only the colors it
// holds; of a longer one (written by some other program) the first 64 bytes
// count. The value is read whole first, so the colors never take a partial or
// undefined read.
static void ReadCustomColors(HKEY key) {
    DWORD size = 0;
    if (RegQueryValueExA(key, kCustomColorsValue, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return;
    // Without memory for the value the colors stay as they are.
    std::vector<BYTE> value;
    if (!ResultOrFailure(false, [&] {
            value.resize(size);
            return true;
        }))
        return;
    if (RegQueryValueExA(key, kCustomColorsValue, nullptr, nullptr, value.data(), &size) != ERROR_SUCCESS) return;
    std::memcpy(editor.customColors, value.data(), size < sizeof editor.customColors ? size : sizeof editor.customColors);
}

bool RunColorDialog(CHOOSECOLORA& dialog) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppearanceKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        key = nullptr;
    if (key) ReadCustomColors(key);
    COLORREF& result = &dialog == &editor.ccMask ? editor.maskColor : editor.backgroundColor;
    dialog.rgbResult = result;
    const bool confirmed = ChooseColorA(&dialog) != FALSE;
    if (confirmed) {
        result = dialog.rgbResult;
        if (key)
            RegSetValueExA(key, kCustomColorsValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(editor.customColors),
                           sizeof editor.customColors);
    }
    if (key) RegCloseKey(key);
    return confirmed;
}

void DoEnterMaskRgbCommand(HWND hwnd) {
    if (!editor.hbmImage) return;  // grayed without a picture; a command sent anyway does nothing
    if (RunColorDialog(editor.ccMask)) ApplyMaskColor(hwnd);
}

void DoMaskToleranceCommand(HWND hwnd) {
    if (!editor.hbmImage) return;  // grayed without a picture, as "Enter mask RGB..."
    ToleranceInput input{editor.maskTolerance};
    if (!AskMaskTolerance(hwnd, input) || input.tolerance == editor.maskTolerance) return;
    editor.maskTolerance = input.tolerance;
    if (editor.maskColor != CLR_INVALID) ApplyMaskColor(hwnd);
}

void DoBackgroundColorCommand(HWND hwnd) {
    const bool confirmed = RunColorDialog(editor.ccBackground);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_ERASENOW);
    if (!confirmed || !editor.imageFileName[0]) return;
    if (AskWarning(kReloadAfterBackgroundText) == IDYES && IsWindow(hwnd)) LoadImageIntoEditor(hwnd, editor.imageFileName);
}
