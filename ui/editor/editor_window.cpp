// The editor window: creation, activation, destruction and command routing.
#include <windows.h>

#include "ui/about/about_dialogs.h"
#include "platform/dialog_resource.h"
#include "platform/module.h"
#include "core/no_throw.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/colors.h"
#include "ui/editor/file_drop.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/image_view.h"
#include "ui/editor/preview_window.h"
#include "ui/rawdata/raw_data_dialogs.h"
#include "ui/editor/region_files.h"
#include "res/resource_ids.h"

static void MakeCaptionIcons() {
    EditorDocument& document = Document();
    document.hiconActive.reset(MakeTintedIcon(hInstance, IDI_EDITOR, GetSysColor(COLOR_ACTIVECAPTION)));
    document.hiconInactive.reset(MakeTintedIcon(hInstance, IDI_EDITOR, GetSysColor(COLOR_INACTIVECAPTION)));
}

static void DestroyCaptionIcons() {
    EditorDocument& document = Document();
    document.hiconActive.reset();
    document.hiconInactive.reset();
}

static HICON TakeSmallIcon(HWND hwnd) {
    return reinterpret_cast<HICON>(SendMessageA(hwnd, WM_SETICON, ICON_SMALL, 0));
}

static void SetSmallIcon(HWND hwnd, HICON icon) {
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// A window starts from what the last one left: its colors and names.
static void SeedDocument() {
    EditorDocument& document = Document();
    // Room for any path, so naming a file never needs memory.
    document.inputs.regionFileName.reserve(MAX_PATH);
    document.imageFileName.reserve(MAX_PATH);
    document.inputs.maskColor = settings.maskColor;
    document.inputs.tolerance = settings.maskTolerance;
    document.inputs.contiguous = settings.contiguousMask;
    document.inputs.backgroundColor = settings.backgroundColor;
    document.inputs.regionFileName = settings.regionFileName;
    document.imageFileName = settings.imageFileName;
}

static void OnInitDialog(HWND hwnd) {
    hwndEditor.store(hwnd);
    SeedDocument();
    settings.ofnRegionOpen.hwndOwner = hwnd;
    settings.ofnRegionSave.hwndOwner = hwnd;
    settings.ofnImage.hwndOwner = hwnd;
    settings.ccMask.hwndOwner = hwnd;
    settings.ccBackground.hwndOwner = hwnd;
    SetMenu(hwnd, LoadMenuA(hInstance, MAKEINTRESOURCEA(IDM_EDITOR_MENU)));
    UpdateMenuStates(hwnd);
    MakeCaptionIcons();
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
    DragAcceptFiles(hwnd, TRUE);
    // The About box as a splash that closes itself after one second.
    ShowAboutBox(hwnd, 1000);
}

static void DoImageInfoCommand(HWND hwnd) {
    const EditorDocument& document = Document();
    if (!document.hbmImage) return;
    ImageInfoData data;
    data.fileName = document.imageFileName.c_str();
    data.bitmap = document.imageInfo;
    ShowImageInfo(hwnd, data);
}

// The raw data dialog edits a copy; a saved one replaces the current region.
static void DoViewRawDataCommand(HWND hwnd) {
    EditorDocument& document = Document();
    if (!document.hrgnCurrent) return;
    OwnedRegion saved = EditRegionData(hwnd, document.hrgnCurrent.get(), ShowRegionsInView);
    if (saved) ReplaceRegion(IDM_VIEW_RAW_DATA, std::move(saved));
}

static void OnDestroy(HWND hwnd) {
    TakeSmallIcon(hwnd);
    DestroyCaptionIcons();
    PublishDocument();
    ReleaseEditorDocument();
    hwndEditor.store(nullptr);
    PostQuitMessage(0);
}

static void OnActivate(HWND hwnd, WPARAM wParam) {
    const EditorDocument& document = Document();
    const bool inactive = LOWORD(wParam) == WA_INACTIVE || IsIconic(hwnd);
    SetSmallIcon(hwnd, inactive ? document.hiconInactive.get() : document.hiconActive.get());
    // Frame and client: the caption shows the new icon, the view is painted afresh.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// Icons follow the new caption colors; the view repaints in the new colors.
static void OnSystemColorsChanged(HWND hwnd) {
    const EditorDocument& document = Document();
    const bool wasActive = TakeSmallIcon(hwnd) == document.hiconActive.get() && document.hiconActive;
    DestroyCaptionIcons();
    MakeCaptionIcons();
    SetSmallIcon(hwnd, wasActive ? document.hiconActive.get() : document.hiconInactive.get());
    InvalidateRect(hwnd, nullptr, TRUE);
}

static void OnMouseMove(HWND hwnd) {
    LPCSTR pointer = IDC_ARROW;
    if (GetCapture() == hwnd)
        pointer = IDC_CROSS;  // picking a color
    else if (IsBusy())
        pointer = IDC_WAIT;
    SetCursor(LoadCursorA(nullptr, pointer));
}

// The whole wParam is matched, so only menu commands and the dialog keyboard's
// IDCANCEL (notification code 0) reach a command; and the keys of the
// accelerator table (notification code 1) reach the commands that have keys.
static void OnCommand(HWND hwnd, WPARAM wParam) {
    const WPARAM command = HIWORD(wParam) == 1 && HasKeys(LOWORD(wParam)) ? LOWORD(wParam) : wParam;
    if (IsRefusedUnderQuestion(static_cast<UINT>(command))) {
        MessageBeep(MB_ICONWARNING);
        RefreshEditorWindow(hwnd);
        return;
    }
    switch (command) {
    case IDM_EXIT: DestroyWindow(hwnd); break;
    case IDM_NEW: DoNewCommand(hwnd); break;
    case IDM_OPEN: DoOpenRegionCommand(hwnd); break;
    case IDM_SAVE: DoSaveRegionCommand(hwnd); break;
    case IDM_SAVE_AS: DoSaveRegionAsCommand(hwnd); break;
    case IDM_UNDO:
        if (Document().history.CanUndo() && !UndoStep()) ShowError(kInternalErrorText);
        break;
    case IDM_REDO:
        if (Document().history.CanRedo() && !RedoStep()) ShowError(kInternalErrorText);
        break;
    case IDM_LOAD_IMAGE: DoLoadImageCommand(hwnd); break;
    case IDM_PICK_MASK: StartPickMode(hwnd); break;
    case IDM_ENTER_MASK_RGB: DoEnterMaskRgbCommand(hwnd); break;
    case IDM_MASK_TOLERANCE: DoMaskToleranceCommand(hwnd); break;
    case IDM_CONTIGUOUS_MASK: DoContiguousMaskCommand(hwnd); break;
    case IDM_BACKGROUND_COLOR: DoBackgroundColorCommand(hwnd); break;
    case IDM_VIEW_HIDE: ChooseViewMode(hwnd, Overlay::None); break;
    case IDM_VIEW_MASK: ChooseViewMode(hwnd, Overlay::Mask); break;
    case IDM_VIEW_TRANSPARENCY: ChooseViewMode(hwnd, Overlay::Transparency); break;
    case IDM_IMAGE_INFO: DoImageInfoCommand(hwnd); break;
    case IDM_VIEW_RAW_DATA: DoViewRawDataCommand(hwnd); break;
    case IDM_PREVIEW: DoPreviewCommand(hwnd); break;
    case IDM_ZOOM_IN: DoZoomInCommand(hwnd); break;
    case IDM_ZOOM_OUT: DoZoomOutCommand(hwnd); break;
    case IDM_ZOOM_100:
    case IDM_ZOOM_200:
    case IDM_ZOOM_400:
    case IDM_ZOOM_800:
    case IDM_ZOOM_1600: DoZoomCommand(hwnd, 1 << (command - IDM_ZOOM_100)); break;
    case IDM_README: ShowReadMe(hwnd); break;
    case IDM_ABOUT: ShowAboutBox(hwnd, -1); break;
    default: break;
    }
    RefreshEditorWindow(hwnd);
}

static INT_PTR HandleEditorMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(hwnd); return TRUE;
    case WM_DESTROY: OnDestroy(hwnd); return FALSE;
    case WM_ACTIVATE: OnActivate(hwnd, wParam); return FALSE;
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
    case WM_DISPLAYCHANGE: OnSystemColorsChanged(hwnd); return FALSE;
    case WM_COMMAND: OnCommand(hwnd, wParam); return FALSE;
    case WM_MOUSEMOVE: OnMouseMove(hwnd); return FALSE;
    case WM_LBUTTONDOWN:
        PickColorAt(hwnd, wParam, lParam);
        RefreshEditorWindow(hwnd);
        return FALSE;
    case WM_RBUTTONDOWN: CancelPickMode(hwnd); return FALSE;
    case WM_DROPFILES:
        DropFilesOnEditor(hwnd, reinterpret_cast<HDROP>(wParam));
        RefreshEditorWindow(hwnd);
        return TRUE;
    case WM_PAINT: return PaintEditorView(hwnd);
    case WM_ERASEBKGND: return SuppressEraseWithPicture(hwnd);
    case WM_GETMINMAXINFO: return ReportMinimumTrackingSize(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_SIZE: ResizeEditorView(hwnd, wParam); return FALSE;
    case WM_HSCROLL: ScrollEditorView(hwnd, SB_HORZ, wParam); return FALSE;
    case WM_VSCROLL: ScrollEditorView(hwnd, SB_VERT, wParam); return FALSE;
    case WM_MOUSEWHEEL: return TurnWheel(hwnd, wParam, lParam);
    default: return FALSE;
    }
}

// The commands turn their own failures into their messages; whatever still
// escapes one is reported as an internal error.
static INT_PTR RecoverEditorMessage(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_COMMAND || message == WM_DROPFILES) ShowError(kInternalErrorText);
    return FALSE;
}

static INT_PTR CALLBACK EditorDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(RecoverEditorMessage, HandleEditorMessage, hwnd, message, wParam, lParam);
}

// The document of the window RunEditorWindow runs; none between windows.
static EditorDocument* openDocument = nullptr;

EditorDocument& Document() {
    if (!openDocument) throw NoEditorWindow();
    return *openDocument;
}

void RunEditorWindow(HWND owner, void (*created)()) {
    EditorDocument document;
    openDocument = &document;
    // Without the table the menu still offers every command.
    const OwnedAccelerators keys(CreateEditorAccelerators());
    HWND window = CreateDialogFromResource(hInstance, MAKEINTRESOURCEA(IDD_EDITOR), owner, EditorDlgProc, 0);
    created();
    if (window) {
        MSG msg;
        for (;;) {
            const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
            if (result == 0 || result == -1) break;
            // Keys typed into the editor, not into a window of its own over it.
            HWND editor = hwndEditor.load();
            if (keys && editor && (msg.hwnd == editor || IsChild(editor, msg.hwnd)) &&
                TranslateAcceleratorA(editor, keys.get(), &msg))
                continue;
            if (!IsDialogMessageA(editor, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        // A quit posted from elsewhere ends the loop with the window still
        // there: it goes now, with its document, not at the thread's end.
        if (IsWindow(window)) DestroyWindow(window);
    }
    openDocument = nullptr;
}
