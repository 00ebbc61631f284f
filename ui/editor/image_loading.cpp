// Bringing a picture into the editor: "Load...", the clip question and fitting
// the window to the picture.
#include "ui/editor/image_loading.h"

#include <string>
#include <utility>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_view.h"
#include "core/pixel_math.h"
#include "platform/picture_loading.h"
#include "res/resource_ids.h"

static void FitWindowToImage(HWND hwnd);

static const char kImageFilter[] =
    "All supported image files\0*.gif;*.giff;*.jpg;*.jpeg;*.jpe;*.png;*.bmp;*.tif;*.tiff;*.ico\0"
    "Graphics Interchange Format (*.gif;*.giff)\0*.gif;*.giff\0"
    "JPEG File Interchange Format (*.jpg;*.jpeg;*.jpe)\0*.jpg;*.jpeg\0"
    "Portable Network Graphics (*.png)\0*.png\0"
    "Windows bitmap (*.bmp)\0*.bmp\0"
    "Tagged Image File Format (*.tif;*.tiff)\0*.tif;*.tiff\0"
    "Windows icon (*.ico)\0*.ico\0"
    "All files (*.*)\0*.*\0";

void InitializeImageDialog(OPENFILENAMEA& dialog) {
    dialog.lpstrFilter = kImageFilter;
    dialog.lpstrCustomFilter = settings.imageFilter;
    dialog.nMaxCustFilter = sizeof settings.imageFilter;
    dialog.nFilterIndex = 0;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
}

void DoLoadImageCommand(HWND hwnd) {
    char name[MAX_PATH];
    if (AskFileName(settings.ofnImage, GetOpenFileNameA, Document().imageFileName.c_str(), name))
        LoadImageIntoEditor(hwnd, name);
}

// Asks whether to clip the current region to a smaller new picture; the
// clipped region when the user agrees, else none. The comparison is unsigned,
// so an empty region (box 0,0,0,0) always asks.
static OwnedRegion OfferToClipRegion(int newWidth, int newHeight) {
    const EditorDocument& document = Document();
    if (!document.hrgnCurrent) return OwnedRegion();
    RECT box{};
    GetRgnBox(document.hrgnCurrent.get(), &box);
    const bool wider = static_cast<UINT>(box.right - 1) > static_cast<UINT>(newWidth);
    const bool lower = static_cast<UINT>(box.bottom - 1) > static_cast<UINT>(newHeight);
    if (!wider && !lower) return OwnedRegion();
    const char* question = document.hbmImage ? kClipAfterPictureText : kClipWithoutPictureText;
    if (AskWarning(question) != IDYES || !document.hrgnCurrent) return OwnedRegion();
    OwnedRegion picture(CreateRectRgn(0, 0, newWidth, newHeight));
    OwnedRegion clipped(CreateRectRgn(0, 0, 0, 0));
    if (!picture || !clipped ||
        CombineRgn(clipped.get(), document.hrgnCurrent.get(), picture.get(), RGN_AND) == ERROR)
        return OwnedRegion();
    return clipped;
}

void LoadImageIntoEditor(HWND hwnd, const char* name) {
    EditorDocument& document = Document();
    BeginBusy();
    const COLORREF chosen = document.inputs.backgroundColor;
    const COLORREF background = chosen == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : chosen;
    OwnedBitmap picture(LoadPictureFile(name, background));
    EndBusy();
    // The name becomes the picture's only once its file was decoded; a failed
    // load leaves the editor with no picture file name.
    if (!picture) {
        ForgetImageFile();
        ShowError(kImageNotLoadedText);
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    if (name != document.imageFileName.c_str()) NameImageFile(name);
    BITMAP description{};
    GetObjectA(picture.get(), sizeof description, &description);
    OwnedRegion clipped = OfferToClipRegion(description.bmWidth, description.bmHeight);
    // The question has no owner, so the editor may have been closed meanwhile;
    // a picture taken in now would outlive it in the state of the next editor.
    if (!IsWindow(hwnd)) return;
    if (clipped) ReplaceRegion(IDM_LOAD_IMAGE, std::move(clipped));
    TakePicture(std::move(picture));

    SetScrollPos(hwnd, SB_HORZ, 0, TRUE);
    SetScrollPos(hwnd, SB_VERT, 0, TRUE);
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
    ShowWindow(GetDlgItem(hwnd, IDC_NO_PICTURE), SW_HIDE);
    UpdateMenuStates(hwnd);  // the zoom items, before the window fits
    FitWindowToImage(hwnd);
    SetScrollRangesForPicture(hwnd);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Where on the screen the placement's coordinates start. Windows gives a
// window that is not a tool window its normal position in workspace
// coordinates, which start at the work area's top-left corner; wine gives
// screen coordinates. A window shown normally tells which by its own rectangle.
static POINT PlacementOrigin(HWND hwnd, const WINDOWPLACEMENT& placement, const RECT& work) {
    RECT window{};
    if (!IsIconic(hwnd) && !IsZoomed(hwnd) && GetWindowRect(hwnd, &window))
        return {window.left - placement.rcNormalPosition.left, window.top - placement.rcNormalPosition.top};
    if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return {0, 0};
    return {work.left, work.top};
}

// Sizes and places the editor so the whole picture shows, as far as the work
// area allows.
static void FitWindowToImage(HWND hwnd) {
    const EditorDocument& document = Document();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) return;

    RECT fit = {0, 0, document.imageInfo.bmWidth, document.imageInfo.bmHeight};
    AdjustWindowRectEx(&fit, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
    const LONG minWidth = 280;
    const LONG minHeight = 2 * (GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION));
    if (fit.right - fit.left < minWidth) fit.right = fit.left + minWidth;
    if (fit.bottom - fit.top < minHeight) fit.bottom = fit.top + minHeight;
    OffsetRect(&fit, placement.rcNormalPosition.left - fit.left, placement.rcNormalPosition.top - fit.top);

    // The work area is compared in the placement's own coordinates, so a
    // taskbar on the top or the left is not counted twice.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const POINT origin = PlacementOrigin(hwnd, placement, work);
    const Box fitted = FitToWorkArea({fit.left, fit.top, fit.right, fit.bottom},
                                     {work.left, work.top, work.right, work.bottom}, origin.x, origin.y);
    fit = {fitted.left, fitted.top, fitted.right, fitted.bottom};

    placement.rcNormalPosition = fit;
    SetWindowPlacement(hwnd, &placement);
}
