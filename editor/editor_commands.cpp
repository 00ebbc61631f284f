// Commands of the editor that belong to the window as a whole: New, the caption
// and the rules that gray and enable the document commands.
#include <windows.h>

#include <cstring>
#include <iterator>

#include "common/win_handles.h"
#include "editor/editor_state.h"
#include "res/resource_ids.h"

static const int kDocumentCommands[] = {IDM_SAVE, IDM_SAVE_AS, IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB,
                                        IDM_VIEW_RAW_DATA};
static const int kPictureCommands[] = {IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB};

static void SetMenuItemsEnabled(HWND hwnd, const int* first, const int* last, bool enabled) {
    HMENU menu = GetMenu(hwnd);
    for (const int* id = first; id != last; ++id)
        EnableMenuItem(menu, static_cast<UINT>(*id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void GrayDocumentCommands(HWND hwnd) {
    SetMenuItemsEnabled(hwnd, std::begin(kDocumentCommands), std::end(kDocumentCommands), false);
}

void EnablePictureCommands(HWND hwnd) {
    SetMenuItemsEnabled(hwnd, std::begin(kPictureCommands), std::end(kPictureCommands), true);
}

void UpdateEditorTitle(HWND hwnd) {
    static const char kPrefix[] = "Pellform - [";
    static const char kUntitled[] = "Untitled";
    const char* name = editor.regionFileName[0] ? editor.regionFileName : kUntitled;
    const size_t nameLength = std::strlen(name);
    OwnedGlobal buffer(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof kPrefix + nameLength + 1));
    if (!buffer) return;  // the caption stays as it was
    char* title = static_cast<char*>(buffer.get());
    std::memcpy(title, kPrefix, sizeof kPrefix - 1);
    std::memcpy(title + sizeof kPrefix - 1, name, nameLength);
    title[sizeof kPrefix - 1 + nameLength] = ']';
    if (SetWindowTextA(hwnd, title) && editor.regionFileName[0]) editor.regionFileShown = true;
}

void ReleaseEditorDocument() {
    if (editor.hrgnCurrent) DeleteObject(editor.hrgnCurrent);
    if (editor.hbmImage) DeleteObject(editor.hbmImage);
    editor.hrgnCurrent = nullptr;
    editor.hbmImage = nullptr;
}

void DoNewCommand(HWND hwnd) {
    ReleaseEditorDocument();
    editor.regionFileName[0] = '\0';
    editor.imageFileName[0] = '\0';
    editor.maskColor = kNoColor;
    editor.backgroundColor = kNoColor;
    UpdateEditorTitle(hwnd);
    GrayDocumentCommands(hwnd);
    ShowWindow(GetDlgItem(hwnd, IDC_NO_PICTURE), SW_SHOW);
    SetScrollPos(hwnd, SB_HORZ, 0, TRUE);
    SetScrollPos(hwnd, SB_VERT, 0, TRUE);
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
    InvalidateRect(hwnd, nullptr, TRUE);
}
