#include "ui/editor/region_files.h"

#include "ui/editor/editor_state.h"
#include "platform/region_file_io.h"
#include "platform/region_gdi.h"

static const char kRegionFilter[] = "Region data files (*.rgn)\0*.rgn\0All files (*.*)\0*.*\0";

HRGN BuildRegionFromImage() {
    const EditorDocument& document = Document();
    if (settings.contiguousMask)
        return BuildFloodRegionFromPicture(document.hbmImage.get(), document.imageInfo.bmWidth,
                                           document.imageInfo.bmHeight, settings.maskColor, settings.maskTolerance,
                                           document.maskStarts);
    return BuildRegionFromPicture(document.hbmImage.get(), document.imageInfo.bmWidth, document.imageInfo.bmHeight,
                                  settings.maskColor, settings.maskTolerance);
}

void InitializeRegionDialogs(OPENFILENAMEA& open, OPENFILENAMEA& save) {
    for (OPENFILENAMEA* dialog : {&open, &save}) {
        dialog->lStructSize = sizeof(OPENFILENAMEA);
        dialog->lpstrFilter = kRegionFilter;
        dialog->nFilterIndex = 0;
        dialog->lpstrDefExt = "rgn";
    }
    open.lpstrCustomFilter = settings.regionOpenFilter;
    open.nMaxCustFilter = sizeof settings.regionOpenFilter;
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    save.lpstrCustomFilter = settings.regionSaveFilter;
    save.nMaxCustFilter = sizeof settings.regionSaveFilter;
    save.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

void OpenRegionFile(HWND hwnd, const char* name) {
    EditorDocument& document = Document();
    RegionRects rects;
    OwnedRegion region;
    BeginBusy();
    if (ReadRegionFile(name, rects)) region.reset(CreateRegionFromRects(rects));
    EndBusy();
    // The name becomes the region's only once its file was read; a failed
    // open leaves the editor with no region file name.
    if (!region) settings.regionFileName[0] = '\0';
    else if (name != settings.regionFileName) lstrcpynA(settings.regionFileName, name, sizeof settings.regionFileName);
    const bool opened = static_cast<bool>(region);
    if (opened) document.hrgnCurrent = std::move(region);
    InvalidateRect(hwnd, nullptr, TRUE);
    document.regionCommandsOffered = opened;
    if (opened) {
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
    if (!WriteRegionFile(settings.regionFileName, Document().hrgnCurrent.get(), tempFileName))
        ShowError(kRegionNotSavedText);
}

void DoOpenRegionCommand(HWND hwnd) {
    char name[MAX_PATH];
    if (AskFileName(settings.ofnRegionOpen, GetOpenFileNameA, settings.regionFileName, name))
        OpenRegionFile(hwnd, name);
}

void DoSaveRegionAsCommand(HWND hwnd) {
    if (!Document().hrgnCurrent) return;
    char name[MAX_PATH];
    if (!AskFileName(settings.ofnRegionSave, GetSaveFileNameA, settings.regionFileName, name)) return;
    lstrcpyA(settings.regionFileName, name);
    SaveRegionFile(hwnd);
}

void DoSaveRegionCommand(HWND hwnd) {
    const EditorDocument& document = Document();
    if (!document.hrgnCurrent) return;
    // A name this window never showed is asked for, the inherited one offered.
    if (!settings.regionFileName[0] || !document.regionFileShown) DoSaveRegionAsCommand(hwnd);
    else SaveRegionFile(hwnd);
}
