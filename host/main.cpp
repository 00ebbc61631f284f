// PellformHost.exe: plays the IDE for the add-in beside it.
//   --maximize-child     maximize the MDI child before the add-in loads
//   --open-editor        choose the add-in's menu item once loaded
//   --load-picture PATH  then load this picture through the editor's "Load..."
//   --open-region PATH   then open this region file through "Open..."
//   --preview            then choose "Preview"
//   --zoom PERCENT       then choose that level of "Image" / "Zoom" (100 to 1600)
//   --scroll X,Y         then scroll picture pixel (X, Y) to the view's top-left corner
//   --ready-file PATH    write PATH once the editor window is up and painted
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/stand_in_host.h"
#include "res/resource_ids.h"

static const char* readyFile = nullptr;
static int readyTicks = 0;

// What the editor is asked to do before it counts as ready, in order: a command
// that opens the "Open" file dialog, answered with a path; a command whose
// dialog `shows` once it is done; or a message alone.
struct HostStep {
    UINT message;
    WPARAM wParam;
    const char* path;
    const char* shows;
};
static HostStep steps[6];
static int stepCount = 0;
static int currentStep = 0;
enum class StepState { Choose, Answer, Wait };
static StepState stepState = StepState::Choose;

struct DialogSearch {
    const char* caption;
    HWND found;
};

static BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM search) {
    auto* wanted = reinterpret_cast<DialogSearch*>(search);
    char className[16] = "", caption[16] = "";
    GetClassNameA(hwnd, className, sizeof className);
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (std::strcmp(className, "#32770") != 0 || std::strcmp(caption, wanted->caption) != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    wanted->found = hwnd;
    return FALSE;
}

static HWND FindEditorDialog(HWND editorWindow, const char* caption) {
    DialogSearch search = {caption, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(editorWindow, nullptr), FindVisibleDialog,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Takes the steps as a user would, one move per timer tick. Returns true once
// all are done.
static bool TakeSteps(HWND editorWindow) {
    if (currentStep == stepCount) return true;
    const HostStep& step = steps[currentStep];
    const char* awaited = step.path ? "Open" : step.shows;
    HWND dialog = awaited ? FindEditorDialog(editorWindow, awaited) : nullptr;
    switch (stepState) {
    case StepState::Choose:
        PostMessageA(editorWindow, step.message, step.wParam, 0);
        stepState = step.path ? StepState::Answer : StepState::Wait;
        break;
    case StepState::Answer:
        if (!dialog) break;
        SetDlgItemTextA(dialog, 0x47C, step.path);  // the name box, cmb13
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        stepState = StepState::Wait;
        break;
    case StepState::Wait:
        // A file dialog is done when it is gone; the preview when it shows; a message at once.
        if (!awaited || (dialog == nullptr) == (step.path != nullptr)) {
            ++currentStep;
            stepState = StepState::Choose;
        }
        break;
    }
    return false;
}

// The editor paints on its own thread; two quiet timer ticks after it appears
// are enough for a screenshot to show it.
static void CALLBACK CheckEditorReady(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND editorWindow = FindWindowA(EDITOR_CLASS_NAME, nullptr);
    if (!editorWindow || !IsWindowVisible(editorWindow)) return;
    if (!TakeSteps(editorWindow)) return;
    RedrawWindow(editorWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (++readyTicks < 3) return;
    KillTimer(nullptr, timer);
    if (!readyFile) return;
    HANDLE file = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bool openEditor = false;
    bool maximizeChild = false;
    bool preview = false;
    const char* loadPicture = nullptr;
    const char* openRegion = nullptr;
    int zoom = 1;
    int scrollX = -1, scrollY = -1;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--open-editor") == 0) openEditor = true;
        else if (std::strcmp(__argv[i], "--maximize-child") == 0) maximizeChild = true;
        else if (std::strcmp(__argv[i], "--ready-file") == 0 && i + 1 < __argc) readyFile = __argv[++i];
        else if (std::strcmp(__argv[i], "--load-picture") == 0 && i + 1 < __argc) loadPicture = __argv[++i];
        else if (std::strcmp(__argv[i], "--open-region") == 0 && i + 1 < __argc) openRegion = __argv[++i];
        else if (std::strcmp(__argv[i], "--preview") == 0) preview = true;
        else if (std::strcmp(__argv[i], "--zoom") == 0 && i + 1 < __argc) zoom = std::atoi(__argv[++i]) / 100;
        else if (std::strcmp(__argv[i], "--scroll") == 0 && i + 1 < __argc)
            std::sscanf(__argv[++i], "%d,%d", &scrollX, &scrollY);
    }
    if (loadPicture) steps[stepCount++] = {WM_COMMAND, IDM_LOAD_IMAGE, loadPicture, nullptr};
    if (openRegion) steps[stepCount++] = {WM_COMMAND, IDM_OPEN, openRegion, nullptr};
    int level = 0;
    while (level < 4 && (1 << level) < zoom) ++level;
    if (level) steps[stepCount++] = {WM_COMMAND, static_cast<WPARAM>(IDM_ZOOM_100 + level), nullptr, nullptr};
    // Scroll positions count screen pixels.
    if (scrollX >= 0) steps[stepCount++] = {WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, scrollX << level), nullptr, nullptr};
    if (scrollY >= 0) steps[stepCount++] = {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, scrollY << level), nullptr, nullptr};
    if (preview) steps[stepCount++] = {WM_COMMAND, IDM_PREVIEW, nullptr, "Preview"};

    StandInHost host;
    host.quitOnDestroy = true;
    if (!CreateStandInHost(host, true)) return 1;
    if (maximizeChild) SetChildMaximized(host, true);
    char path[MAX_PATH];
    AddInPathBesideProgram(path, sizeof path);
    if (!LoadAddIn(host, path)) {
        MessageBoxA(host.frame, "The add-in Pellform_WA.dll could not be loaded.", "Stand-in host", MB_ICONERROR);
        DestroyStandInHost(host);
        return 2;
    }
    if (openEditor) PostMessageA(host.frame, WM_COMMAND, host.lastGivenCommandId, 0);
    if (readyFile || stepCount) SetTimer(nullptr, 0, 100, CheckEditorReady);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMDISysAccel(host.mdiClient, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
