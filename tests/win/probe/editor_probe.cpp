// Test-only export: the editor state and helpers, so tests can arrange what the
// commands that set them (in later work) would and call helpers directly.
// Never part of the shipped DLL.
#include "editor/editor_state.h"
#include "editor/image_loading.h"
#include "picture/com_owners.h"
#include "picture/picture_loading.h"
#include "picture/picture_wic.h"
#include "about/about_dialogs.h"
#include "editor/colours.h"
#include "region/region_files.h"
#include "region/region_gdi.h"
#include "tests/win/probe/probe_api.h"

// The imaging component's route alone, as the editor's route takes it for
// PNG, TIFF and icons, so tests see that decoder whatever else would decode.
static HBITMAP LoadPictureFileThroughWic(const char* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComScope com;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return nullptr;
    return DecodePictureWithWic(wide, background, alpha);
}

extern "C" const ProbeApi* WINAPI PellformProbe() {
    static const ProbeApi api = {&editor,         ShowError,           AskWarning,        CenterOnOwner,
                                 MakeTintedIcon,  BeginBusy,           EndBusy,           LoadPictureFile,
                                 LoadPictureResource, LoadPictureMemory, ComposeView,
                                 LoadImageIntoEditor, BuildRegionFromPicture, CreateRegionFromRects,
                                 ApplyMaskColor,      SaveRegionFile,    OpenRegionFile,
                                 AboutDlgProc,        LoadPictureFileThroughWic,
                                 LoadPictureFileWithAlpha};
    return &api;
}
