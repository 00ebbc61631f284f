#include "ui/editor/region_files.h"

#include <string>

#include "ui/editor/editor_state.h"
#include "platform/region_file_io.h"
#include "platform/region_gdi.h"

static const char kRegionFilter[] = "Region data files (*.rgn)\0*.rgn\0All files (*.*)\0*.*\0";

HRGN BuildRegionFromImage(COLORREF maskColor, int tolerance, bool contiguous, const FloodStarts& starts) {
    const EditorDocument& document = Document();
    if (contiguous)
        return BuildFloodRegionFromPicture(document.hbmImage.get(), document.imageInfo.bmWidth,
                                           document.imageInfo.bmHeight, maskColor, tolerance, starts);
    return BuildRegionFromPicture(document.hbmImage.get(), document.imageInfo.bmWidth, document.imageInfo.bmHeight,
                                  maskColor, tolerance);
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

void OpenRegionFile(HWND, const char* name) {
    RegionRects rects;
    OwnedRegion region;
    BeginBusy();
    if (ReadRegionFile(name, rects)) region.reset(CreateRegionFromRects(rects));
    EndBusy();
    // The name becomes the region's only once its file was read; a failed
    // open leaves the editor with no region file name, the old region drawn.
    if (region) {
        const std::string opened = name;  // `name` may be the document's own
        TakeOpenedRegion(std::move(region), opened.c_str());
        return;
    }
    ForgetRegionFile();
    ShowError(kRegionNotLoadedText);
}

void SaveRegionFile(HWND hwnd) {
    RefreshEditorWindow(hwnd);  // the caption shows the file before it is written
    char tempFileName[MAX_PATH]{};
    if (!WriteRegionFile(Document().inputs.regionFileName.c_str(), Document().hrgnCurrent.get(), tempFileName))
        ShowError(kRegionNotSavedText);
}

void DoOpenRegionCommand(HWND hwnd) {
    char name[MAX_PATH];
    if (AskFileName(settings.ofnRegionOpen, GetOpenFileNameA, Document().inputs.regionFileName.c_str(), name))
        OpenRegionFile(hwnd, name);
}

void DoSaveRegionAsCommand(HWND hwnd) {
    if (!Document().hrgnCurrent) return;
    char name[MAX_PATH];
    if (!AskFileName(settings.ofnRegionSave, GetSaveFileNameA, Document().inputs.regionFileName.c_str(), name)) return;
    NameRegionFile(name);
    SaveRegionFile(hwnd);
}

void DoSaveRegionCommand(HWND hwnd) {
    const EditorDocument& document = Document();
    if (!document.hrgnCurrent) return;
    // A name this window never showed is asked for, the inherited one offered.
    if (document.inputs.regionFileName.empty() || !document.inputs.nameShown) DoSaveRegionAsCommand(hwnd);
    else SaveRegionFile(hwnd);
}
