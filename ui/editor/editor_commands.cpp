// Commands of the editor that belong to the window as a whole: New, the caption
// and the rules that gray and enable the menu's items.
#include <windows.h>

#include <cstring>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_view.h"
#include "res/resource_ids.h"

static UINT ViewModeCommand(Overlay mode) {
    switch (mode) {
    case Overlay::None: return IDM_VIEW_HIDE;
    case Overlay::Mask: break;
    case Overlay::Transparency: return IDM_VIEW_TRANSPARENCY;
    }
    return IDM_VIEW_MASK;
}

void UpdateMenuStates(HWND hwnd) {
    const EditorDocument& document = Document();
    HMENU menu = GetMenu(hwnd);
    if (!menu) return;
    const bool picture = document.hbmImage.get() != nullptr;
    const bool region = document.regionCommandsOffered;
    // Save needs a file name this window knows: one it opened or saved to, or
    // an inherited one once a region was made here (Save then asks first).
    const bool save = settings.regionFileName[0] && (region || document.regionFileShown);
    const struct {
        UINT id;
        bool enabled;
    } items[] = {
        {IDM_SAVE, save},
        {IDM_SAVE_AS, region},
        {IDM_IMAGE_INFO, picture},
        {IDM_PICK_MASK, picture},
        {IDM_ENTER_MASK_RGB, picture},
        {IDM_MASK_TOLERANCE, picture},
        {IDM_CONTIGUOUS_MASK, picture},
        {IDM_VIEW_RAW_DATA, region},
        {IDM_PREVIEW, picture && document.hrgnCurrent},
    };
    for (const auto& item : items) EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, IDM_CONTIGUOUS_MASK, MF_BYCOMMAND | (settings.contiguousMask ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuRadioItem(menu, IDM_VIEW_HIDE, IDM_VIEW_TRANSPARENCY, ViewModeCommand(document.viewMode), MF_BYCOMMAND);
    UpdateZoomMenu(menu);
}

void UpdateEditorTitle(HWND hwnd) {
    static const char kPrefix[] = "Pellform - [";
    static const char kUntitled[] = "Untitled";
    const char* name = settings.regionFileName[0] ? settings.regionFileName : kUntitled;
    const size_t nameLength = std::strlen(name);
    OwnedGlobal buffer(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof kPrefix + nameLength + 1));
    if (!buffer) return;  // the caption stays as it was
    char* title = static_cast<char*>(buffer.get());
    std::memcpy(title, kPrefix, sizeof kPrefix - 1);
    std::memcpy(title + sizeof kPrefix - 1, name, nameLength);
    title[sizeof kPrefix - 1 + nameLength] = ']';
    if (SetWindowTextA(hwnd, title) && settings.regionFileName[0]) Document().regionFileShown = true;
}

void ReleaseEditorDocument() {
    EditorDocument& document = Document();
    document.hrgnCurrent.reset();
    document.hbmImage.reset();
    document.regionCommandsOffered = false;
}

void DoNewCommand(HWND hwnd) {
    ReleaseEditorDocument();
    settings.regionFileName[0] = '\0';
    settings.imageFileName[0] = '\0';
    settings.maskColor = CLR_INVALID;
    settings.maskTolerance = 0;
    settings.contiguousMask = false;
    Document().maskStarts = FloodStarts{{}, true};
    settings.backgroundColor = CLR_INVALID;
    Document().zoom = 1;
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    ShowWindow(GetDlgItem(hwnd, IDC_NO_PICTURE), SW_SHOW);
    SetScrollPos(hwnd, SB_HORZ, 0, TRUE);
    SetScrollPos(hwnd, SB_VERT, 0, TRUE);
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
    InvalidateRect(hwnd, nullptr, TRUE);
}
