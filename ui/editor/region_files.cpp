#include "ui/editor/region_files.h"

#include "ui/editor/editor_state.h"
#include "platform/region_file_io.h"
#include "platform/region_gdi.h"

static const char kRegionFilter[] = "Region data files (*.rgn)\0*.rgn\0All files (*.*)\0*.*\0";

HRGN BuildRegionFromImage() {
    return BuildRegionFromPicture(editor.hbmImage, editor.imageInfo.bmWidth, editor.imageInfo.bmHeight,
                                  editor.maskColor, editor.maskTolerance);
}

void InitializeRegionDialogs(OPENFILENAMEA& open, OPENFILENAMEA& save) {
    for (OPENFILENAMEA* dialog : {&open, &save}) {
        dialog->lStructSize = sizeof(OPENFILENAMEA);
        dialog->lpstrFilter = kRegionFilter;
        dialog->nFilterIndex = 0;
        dialog->lpstrFile = editor.regionFileName;
        dialog->nMaxFile = sizeof editor.regionFileName;
        dialog->lpstrDefExt = "rgn";
    }
    open.lpstrCustomFilter = editor.regionOpenFilter;
    open.nMaxCustFilter = sizeof editor.regionOpenFilter;
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    save.lpstrCustomFilter = editor.regionSaveFilter;
    save.nMaxCustFilter = sizeof editor.regionSaveFilter;
    save.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

void OpenRegionFile(HWND hwnd) {
    RegionRects rects;
    HRGN region = nullptr;
    BeginBusy();
    if (ReadRegionFile(editor.regionFileName, rects)) region = CreateRegionFromRects(rects);
    EndBusy();
    if (region) {
        if (editor.hrgnCurrent) DeleteObject(editor.hrgnCurrent);
        editor.hrgnCurrent = region;
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    editor.regionCommandsOffered = region != nullptr;
    if (region) {
        UpdateEditorTitle(hwnd);
        UpdateMenuStates(hwnd);
        return;
    }
    // The region that was current stays current and is still drawn.
    editor.regionFileName[0] = '\0';
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    ShowError(kRegionNotLoadedText);
}

void SaveRegionFile(HWND hwnd) {
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    char tempFileName[MAX_PATH]{};
    if (!WriteRegionFile(editor.regionFileName, editor.hrgnCurrent, tempFileName))
        ShowError(kRegionNotSavedText);
}

void DoOpenRegionCommand(HWND hwnd) {
    if (GetOpenFileNameA(&editor.ofnRegionOpen)) OpenRegionFile(hwnd);
}

void DoSaveRegionAsCommand(HWND hwnd) {
    if (!editor.hrgnCurrent) return;
    if (GetSaveFileNameA(&editor.ofnRegionSave)) SaveRegionFile(hwnd);
}

void DoSaveRegionCommand(HWND hwnd) {
    if (!editor.hrgnCurrent) return;
    // A name this window never showed is asked for, the inherited one offered.
    if (!editor.regionFileName[0] || !editor.regionFileShown) DoSaveRegionAsCommand(hwnd);
    else SaveRegionFile(hwnd);
}
