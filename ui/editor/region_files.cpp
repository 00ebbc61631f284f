#include "ui/editor/region_files.h"

#include "ui/editor/editor_state.h"
#include "platform/region_file_io.h"
#include "platform/region_gdi.h"

static const char kRegionFilter[] = "Region data files (*.rgn)\0*.rgn\0All files (*.*)\0*.*\0";

HRGN BuildRegionFromImage() {
    return BuildRegionFromPicture(editor.hbmImage.get(), editor.imageInfo.bmWidth, editor.imageInfo.bmHeight,
                                  editor.maskColor, editor.maskTolerance);
}

void InitializeRegionDialogs(OPENFILENAMEA& open, OPENFILENAMEA& save) {
    for (OPENFILENAMEA* dialog : {&open, &save}) {
        dialog->lStructSize = sizeof(OPENFILENAMEA);
        dialog->lpstrFilter = kRegionFilter;
        dialog->nFilterIndex = 0;
        dialog->lpstrDefExt = "rgn";
    }
    open.lpstrCustomFilter = editor.regionOpenFilter;
    open.nMaxCustFilter = sizeof editor.regionOpenFilter;
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    save.lpstrCustomFilter = editor.regionSaveFilter;
    save.nMaxCustFilter = sizeof editor.regionSaveFilter;
    save.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

void OpenRegionFile(HWND hwnd, const char* name) {
    RegionRects rects;
    HRGN region = nullptr;
    BeginBusy();
    if (ReadRegionFile(name, rects)) region = CreateRegionFromRects(rects);
    EndBusy();
    // The name becomes the region's only once its file was read; a failed
    // open leaves the editor with no region file name.
    if (!region) editor.regionFileName[0] = '\0';
    else if (name != editor.regionFileName) lstrcpynA(editor.regionFileName, name, sizeof editor.regionFileName);
    if (region) {
        editor.hrgnCurrent.reset(region);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    editor.regionCommandsOffered = region != nullptr;
    if (region) {
        UpdateEditorTitle(hwnd);
        UpdateMenuStates(hwnd);
        return;
    }
    // The region that was current stays current and is still drawn.
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    ShowError(kRegionNotLoadedText);
}

void SaveRegionFile(HWND hwnd) {
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    char tempFileName[MAX_PATH]{};
    if (!WriteRegionFile(editor.regionFileName, editor.hrgnCurrent.get(), tempFileName))
        ShowError(kRegionNotSavedText);
}

void DoOpenRegionCommand(HWND hwnd) {
    char name[MAX_PATH];
    if (AskFileName(editor.ofnRegionOpen, GetOpenFileNameA, editor.regionFileName, name)) OpenRegionFile(hwnd, name);
}

void DoSaveRegionAsCommand(HWND hwnd) {
    if (!editor.hrgnCurrent) return;
    char name[MAX_PATH];
    if (!AskFileName(editor.ofnRegionSave, GetSaveFileNameA, editor.regionFileName, name)) return;
    lstrcpyA(editor.regionFileName, name);
    SaveRegionFile(hwnd);
}

void DoSaveRegionCommand(HWND hwnd) {
    if (!editor.hrgnCurrent) return;
    // A name this window never showed is asked for, the inherited one offered.
    if (!editor.regionFileName[0] || !editor.regionFileShown) DoSaveRegionAsCommand(hwnd);
    else SaveRegionFile(hwnd);
}
