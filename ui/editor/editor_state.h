// The editor's state by lifetime: settings for the process, a document for
// each window; the raw data dialog keeps its working copy itself.
#ifndef PELLFORM_EDITOR_STATE_H
#define PELLFORM_EDITOR_STATE_H

#include <windows.h>
#include <commdlg.h>

#include "core/edit_history.h"
#include "core/flood_fill.h"
#include "platform/win_handles.h"
#include "ui/shared/dialog_support.h"

#include <atomic>
#include <initializer_list>
#include <stdexcept>
#include <string>

constexpr int kMaxZoom = 16;

// What the view draws over the picture: "Hide", "Show as mask", "Show as transparency".
enum class Overlay { None, Mask, Transparency };

// What the editor keeps for the whole process: a later window starts with the
// file names, colors and dialog records the last one left. Only the dialog
// records are used as they stand; the names and colors seed each document and
// follow it after every command.
struct EditorSettings {
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
// The picture, the region and what made them change only through the mutators
// below; the window shows them at one point after each command.
struct EditorDocument {
    // The mask color, tolerance, background, region file name, and whether the
    // region commands are offered. `nameShown`: whether this window's caption
    // has shown the region file name: a later window inherits the name without
    // showing it, and must not write to it unasked.
    RegionInputs inputs;
    std::string imageFileName;
    EditHistory history{kHistoryBudget, kHistorySteps};
    // The region the last change, Undo or Redo replaced, with its data: taking
    // it back is then a swap, where rebuilding a large region from its data
    // under wine takes the better part of a second. Never changed in place.
    OwnedRegion spareRegion;
    std::shared_ptr<const RegionBlock> spareData;
    // Counts every change the view must show; the window repaints when it moved.
    unsigned revision = 0;
    unsigned shownRevision = 0;
    // Owner-less questions up: the editor stays usable under them, but the
    // command that asked resumes after them with what it had decoded or read.
    int pendingQuestions = 0;
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

// The mutators. Each takes what its command made; those that change the region
// or its inputs are a step named by the command `command`, which Undo takes back.
// A step the history cannot keep empties it; the change itself always happens.
void ApplyBuiltRegion(UINT command, OwnedRegion region, COLORREF maskColor, int tolerance, bool contiguous,
                      const FloodStarts& starts);
void ChangeBackground(COLORREF color);
void ChangeInputs(UINT command, const RegionInputs& inputs);  // the region stays
void TakeOpenedRegion(OwnedRegion region, const char* name);
void ForgetRegionFile();  // a failed open: the old region stays, unnamed, its commands withdrawn
void ReplaceRegion(UINT command, OwnedRegion region);
void NameRegionFile(const char* name);  // Save and Save as
void NameImageFile(const char* name);  // once its picture was decoded
void TakePicture(OwnedBitmap picture);
void ForgetImageFile();
void ResetDocument();  // New
// Restore the state before the newest step, or after the next; false when
// there was none or it could not be rebuilt (nothing then changes).
bool UndoStep();
bool RedoStep();
// The name of the step a command makes ("Pick mask color"); "" for others.
const char* StepNameOf(UINT command);
// The settings take the document's names and colors: what a later window inherits.
void PublishDocument();

// The one value the host thread shares with the editor thread: written by the
// editor thread when its window is created and destroyed, read by the host thread.
extern std::atomic<HWND> hwndEditor;

// Message texts, word for word as the user sees them.
extern const char kRegionNotLoadedText[];
extern const char kRegionNotSavedText[];
extern const char kImageNotLoadedText[];
extern const char kInternalErrorText[];
extern const char kClipAfterPictureText[];
extern const char kClipWithoutPictureText[];
extern const char kReloadAfterBackgroundText[];

// The error box over the editor window; the warning box counted as a question
// under which the editor refuses what would change the state it asked about.
int ShowError(const char* text);
int AskWarning(const char* text);
// Runs one of the file dialogs above (`ask` is GetOpenFileNameA or
// GetSaveFileNameA) opening with `current` and leaving the choice in `name`:
// the state's own name is the caller's to change, once the file was read.
bool AskFileName(OPENFILENAMEA& dialog, BOOL(WINAPI* ask)(LPOPENFILENAMEA), const char* current,
                 char (&name)[MAX_PATH]);
// The caption, the menu's states and the view, from the document.
void RefreshEditorWindow(HWND hwnd);
void UpdateEditorTitle(HWND hwnd);
HICON MakeTintedIcon(HINSTANCE module, int iconId, COLORREF color);

// From the command table: whether `command` waits while an owner-less question
// is up, whether it has keys, and the accelerators of them all.
bool IsRefusedUnderQuestion(UINT command);
bool HasKeys(UINT command);
HACCEL CreateEditorAccelerators();

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
