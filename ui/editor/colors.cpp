#include "ui/editor/colors.h"

#include <windowsx.h>

#include <cstring>
#include <vector>

#include "core/no_throw.h"
#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/region_files.h"
#include "ui/editor/tolerance_dialog.h"
#include "res/resource_ids.h"

static const char kAppearanceKey[] = "Control Panel\\Appearance";
static const char kCustomColorsValue[] = "CustomColors";

void InitializeColorDialog(CHOOSECOLORA& dialog) {
    dialog.lStructSize = sizeof(CHOOSECOLORA);
    dialog.lpCustColors = settings.customColors;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
}

void StartPickMode(HWND hwnd) {
    if (!Document().hbmImage) return;
    SetCapture(hwnd);
    // The view shows the bare picture while the capture lasts.
    InvalidateRect(hwnd, nullptr, TRUE);
}

static bool ReadPictureColor(HWND hwnd, int x, int y, COLORREF& color) {
    const EditorDocument& document = Document();
    if (x < 0 || y < 0 || x >= document.imageInfo.bmWidth || y >= document.imageInfo.bmHeight) return false;
    OwnedMemoryDc memory;
    {
        WindowDc window(hwnd);
        memory.reset(CreateCompatibleDC(window.get()));
    }
    if (!memory) return false;
    Selection selected(memory.get(), document.hbmImage.get());
    if (!selected) return false;
    color = GetPixel(memory.get(), x, y);
    return color != CLR_INVALID;
}

void PickColorAt(HWND hwnd, WPARAM keys, LPARAM clientPoint) {
    EditorDocument& document = Document();
    if (GetCapture() != hwnd) return;
    bool picked = false;
    COLORREF color = 0;
    FloodStarts starts;
    POINT cursor{};
    // The capture brings clicks from anywhere, in client coordinates that are
    // negative above and left of the view: one outside the view (on the
    // caption, the menu bar, a scroll bar, another window) ends pick mode,
    // picking nothing.
    const POINT point = {GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    RECT view{};
    if (GetClientRect(hwnd, &view) && PtInRect(&view, point) && GetCursorPos(&cursor) &&
        WindowFromPoint(cursor) == hwnd) {
        // The picture pixel whose square is under the cursor.
        const int x = (point.x + GetScrollPos(hwnd, SB_HORZ)) / document.zoom;
        const int y = (point.y + GetScrollPos(hwnd, SB_VERT)) / document.zoom;
        const RegionInputs& inputs = document.inputs;
        const bool adding = (keys & MK_SHIFT) && inputs.contiguous && inputs.maskColor != CLR_INVALID;
        const MaskColorRange mask(inputs.maskColor, static_cast<std::uint32_t>(inputs.tolerance));
        // Without memory for the point, nothing is picked.
        if (ReadPictureColor(hwnd, x, y, color) &&
            (!adding || mask.Matches(GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color))))
            picked = ResultOrFailure(false, [&] {
                starts = adding ? document.inputs.maskStarts : FloodStarts{};
                starts.points.push_back({x, y});
                if (adding) color = inputs.maskColor;
                return true;
            });
    }
    ReleaseCapture();
    if (picked) ApplyMaskColor(IDM_PICK_MASK, color, document.inputs.tolerance, document.inputs.contiguous, starts);
    else InvalidateRect(hwnd, nullptr, TRUE);
}

void CancelPickMode(HWND hwnd) {
    if (GetCapture() != hwnd) return;
    ReleaseCapture();
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Builds the region of `maskColor` with `tolerance`; the step of `command`.
// When it cannot be built the colors are still taken and the region stays.
void ApplyMaskColor(UINT command, COLORREF maskColor, int tolerance, bool contiguous, const FloodStarts& starts) {
    BeginBusy();
    OwnedRegion region(BuildRegionFromImage(maskColor, tolerance, contiguous, starts));
    EndBusy();
    if (region) {
        ApplyBuiltRegion(command, std::move(region), maskColor, tolerance, contiguous, starts);
        return;
    }
    EditorDocument& document = Document();
    document.inputs.maskColor = maskColor;
    document.inputs.tolerance = tolerance;
    document.inputs.contiguous = contiguous;
    // Out of memory for the points, the last ones stay: the colors still change.
    ResultOrFailure(false, [&] {
        document.inputs.maskStarts = starts;
        return true;
    });
    ++document.revision;
    ShowError(kInternalErrorText);
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
    std::memcpy(settings.customColors, value.data(),
                size < sizeof settings.customColors ? size : sizeof settings.customColors);
}

bool RunColorDialog(CHOOSECOLORA& dialog, COLORREF& result) {
    HKEY opened = nullptr;
    OwnedKey key(RegCreateKeyExA(HKEY_CURRENT_USER, kAppearanceKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                 nullptr, &opened, nullptr) == ERROR_SUCCESS
                     ? opened
                     : nullptr);
    if (key) ReadCustomColors(key.get());
    dialog.rgbResult = result;
    const bool confirmed = ChooseColorA(&dialog) != FALSE;
    if (confirmed) {
        result = dialog.rgbResult;
        if (key)
            RegSetValueExA(key.get(), kCustomColorsValue, 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(settings.customColors), sizeof settings.customColors);
    }
    return confirmed;
}

void DoEnterMaskRgbCommand(HWND) {
    const EditorDocument& document = Document();
    if (!document.hbmImage) return;  // grayed without a picture; a command sent anyway does nothing
    COLORREF color = document.inputs.maskColor;
    if (!RunColorDialog(settings.ccMask, color)) return;
    ApplyMaskColor(IDM_ENTER_MASK_RGB, color, document.inputs.tolerance, document.inputs.contiguous, FloodStarts{{}, true});
}

void DoMaskToleranceCommand(HWND hwnd) {
    EditorDocument& document = Document();
    if (!document.hbmImage) return;  // grayed without a picture, as "Enter mask RGB..."
    ToleranceInput input{document.inputs.tolerance};
    if (!AskMaskTolerance(hwnd, input) || input.tolerance == document.inputs.tolerance) return;
    if (document.inputs.maskColor != CLR_INVALID) {
        ApplyMaskColor(IDM_MASK_TOLERANCE, document.inputs.maskColor, input.tolerance, document.inputs.contiguous,
                       document.inputs.maskStarts);
    } else {
        // No region to rebuild: the tolerance alone is the step.
        RegionInputs inputs = document.inputs;
        inputs.tolerance = input.tolerance;
        ChangeInputs(IDM_MASK_TOLERANCE, inputs);
    }
}

void DoContiguousMaskCommand(HWND) {
    const EditorDocument& document = Document();
    if (!document.hbmImage) return;  // grayed without a picture, as "Mask tolerance..."
    RegionInputs inputs = document.inputs;
    inputs.contiguous = !inputs.contiguous;
    if (inputs.maskColor != CLR_INVALID) ApplyMaskColor(IDM_CONTIGUOUS_MASK, inputs.maskColor, inputs.tolerance, inputs.contiguous, inputs.maskStarts);
    else ChangeInputs(IDM_CONTIGUOUS_MASK, inputs);
}

void DoBackgroundColorCommand(HWND hwnd) {
    COLORREF color = Document().inputs.backgroundColor;
    const bool confirmed = RunColorDialog(settings.ccBackground, color);
    if (confirmed) ChangeBackground(color);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_ERASENOW);
    if (!confirmed || Document().imageFileName.empty()) return;
    if (AskWarning(kReloadAfterBackgroundText) == IDYES && IsWindow(hwnd)) {
        const std::string name = Document().imageFileName;
        LoadImageIntoEditor(hwnd, name.c_str());
    }
}
