// The editor's state by lifetime: settings for the process, a document for
// each window; the raw data dialog keeps its working copy itself.
#ifndef PELLFORM_EDITOR_STATE_H
#define PELLFORM_EDITOR_STATE_H

#include <windows.h>
#include <commdlg.h>

#include "core/flood_fill.h"
#include "platform/win_handles.h"

#include <atomic>
#include <initializer_list>
#include <stdexcept>

constexpr int kMaxZoom = 16;

// What the view draws over the picture: "Hide", "Show as mask", "Show as transparency".
enum class Overlay { None, Mask, Transparency };

// What the editor keeps for the whole process: a later window starts with the
// file names, colors and dialog records the last one left.
struct EditorSettings {
    MSGBOXPARAMSA errorBox{};
    MSGBOXPARAMSA warningBox{};
    OPENFILENAMEA ofnRegionOpen{};
    OPENFILENAMEA ofnRegionSave{};
    OPENFILENAMEA ofnImage{};
    CHOOSECOLORA ccMask{};
    CHOOSECOLORA ccBackground{};
    COLORREF maskColor = CLR_INVALID;
    // How far each of red, green and blue may be from the mask color's for a
    // pixel to count as the mask color; 0 is the exact color alone.
    int maskTolerance = 0;
    // "Contiguous mask": only the mask pixels joined to where the mask was
    // picked (or to the border, for an entered color) leave the region.
    bool contiguousMask = false;
    COLORREF backgroundColor = CLR_INVALID;
    COLORREF customColors[16]{};
    char regionFileName[MAX_PATH]{};
    char imageFileName[MAX_PATH]{};
    char regionOpenFilter[MAX_PATH]{};
    char regionSaveFilter[MAX_PATH]{};
    char imageFilter[MAX_PATH]{};
};

extern EditorSettings settings;

// What one editor window keeps: made with the window, gone with it, so every
// window starts with no picture or region, the mask overlay and zoom 1.
struct EditorDocument {
    int busyCount = 0;
    // Owner-less questions up: the editor stays usable under them, but the
    // command that asked resumes after them with what it had decoded or read.
    int pendingQuestions = 0;
    // Whether this window's caption has shown `regionFileName`: a later window
    // inherits the name without showing it, and must not write to it unasked.
    bool regionFileShown = false;
    // Whether this window offers Save as... and View raw data...: a region was
    // opened or built here. A failed open withdraws them though the old region stays.
    bool regionCommandsOffered = false;
    Overlay viewMode = Overlay::Mask;
    // The view's magnification, 1 to kMaxZoom in powers of two. Picture pixel
    // (x, y) fills the zoom-sided square at (x * zoom - scrollX, y * zoom - scrollY);
    // the scroll position counts screen pixels.
    int zoom = 1;
    // Wheel turn short of a notch, kept for the next turn of the same kind
    // (scroll, scroll sideways, zoom); a turn of another kind starts afresh.
    int wheelRest = 0;
    int wheelKind = 0;
    // Set while the view resizes the window itself, against re-entering.
    int sizeGuard = 0;
    OwnedIcon hiconActive;
    OwnedIcon hiconInactive;
    OwnedBitmap hbmImage;
    BITMAP imageInfo{};
    OwnedRegion hrgnCurrent;
    // Where the last mask input floods from: the picked pixels, or the border
    // for an entered color (and for a color this window did not pick).
    FloodStarts maskStarts{{}, true};
    // What the raw data dialog over this window has the view draw in place of
    // the current region: its working copy and, when rows are selected, their
    // union. Both are the dialog's own; it clears them before they go.
    HRGN shownWorkingCopy = nullptr;
    HRGN shownSelection = nullptr;
};

// The open editor window's document. With no window there is none: this
// throws NoEditorWindow, which ends the command at its procedure's edge.
struct NoEditorWindow : std::logic_error {
    NoEditorWindow() : std::logic_error("no editor window") {}
};
EditorDocument& Document();

// The one value the host thread shares with the editor thread: written by the
// editor thread when its window is created and destroyed, read by the host thread.
extern std::atomic<HWND> hwndEditor;

// Message texts, word for word as the user sees them.
extern const char kRegionNotLoadedText[];
extern const char kRegionNotSavedText[];
extern const char kImageNotLoadedText[];
extern const char kInternalErrorText[];
extern const char kEditTooLargeText[];
extern const char kClipAfterPictureText[];
extern const char kClipWithoutPictureText[];
extern const char kReloadAfterBackgroundText[];

// Owned by the editor window, or by `owner` (a dialog over it) when given.
int ShowError(const char* text, HWND owner = nullptr);
int AskWarning(const char* text);
void BeginBusy();
void EndBusy();
void CenterOnOwner(HWND hwnd);
// Runs one of the file dialogs above (`ask` is GetOpenFileNameA or
// GetSaveFileNameA) opening with `current` and leaving the choice in `name`:
// the state's own name is the caller's to change, once the file was read.
bool AskFileName(OPENFILENAMEA& dialog, BOOL(WINAPI* ask)(LPOPENFILENAMEA), const char* current,
                 char (&name)[MAX_PATH]);
void UpdateEditorTitle(HWND hwnd);
HICON MakeTintedIcon(HINSTANCE module, int iconId, COLORREF color);

// Grays and enables the menu's items and sets the overlay's radio check, all
// from the state above; every change of that state calls it.
void UpdateMenuStates(HWND hwnd);

// New: forgets picture, region, file names and colors; keeps the view mode.
void DoNewCommand(HWND hwnd);
// Releases the picture and the current region.
void ReleaseEditorDocument();

// Makes `mode` the overlay and repaints, unless it is the overlay already.
void ChooseViewMode(HWND hwnd, Overlay mode);

// Creates the editor window over `owner` and runs its messages on the calling
// thread until it is destroyed; the window's document lives as long as this
// call, so a command still inside a box when the window goes finds it.
// `created` is called once the window exists or could not be made.
void RunEditorWindow(HWND owner, void (*created)());

// Fills the static parts of the message-box, file-dialog and color-dialog
// records; the add-in calls it once at load.
void InitializeEditorRecords(HINSTANCE module);

#endif
