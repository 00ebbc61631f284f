// PellformHost.exe: plays the IDE for the add-in beside it.
//   --maximize-child     maximize the MDI child before the add-in loads
//   --open-editor        choose the add-in's menu item once loaded
//   --load-picture PATH  then load this picture through the editor's "Load..."
//   --ready-file PATH    write PATH once the editor window is up and painted
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "host/stand_in_host.h"

static const char* readyFile = nullptr;
static const char* pictureToLoad = nullptr;
static int readyTicks = 0;

enum class PictureStep { Choose, Answer, Wait, Done };
static PictureStep pictureStep = PictureStep::Choose;

static BOOL CALLBACK FindOpenDialog(HWND hwnd, LPARAM found) {
    char className[16] = "", caption[16] = "";
    GetClassNameA(hwnd, className, sizeof className);
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (std::strcmp(className, "#32770") != 0 || std::strcmp(caption, "Open") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// Answers the editor's file dialog as a user would, one step per timer tick.
// Returns true once the picture is in (or there is none to load).
static bool LoadPictureStep(HWND editorWindow) {
    if (!pictureToLoad || pictureStep == PictureStep::Done) return true;
    HWND dialog = nullptr;
    EnumThreadWindows(GetWindowThreadProcessId(editorWindow, nullptr), FindOpenDialog, reinterpret_cast<LPARAM>(&dialog));
    switch (pictureStep) {
    case PictureStep::Choose:
        PostMessageA(editorWindow, WM_COMMAND, 10010, 0);
        pictureStep = PictureStep::Answer;
        break;
    case PictureStep::Answer:
        if (!dialog) break;
        SetDlgItemTextA(dialog, 0x47C, pictureToLoad);  // the name box, cmb13
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        pictureStep = PictureStep::Wait;
        break;
    case PictureStep::Wait:
        if (!dialog) pictureStep = PictureStep::Done;
        break;
    case PictureStep::Done: break;
    }
    return false;
}

// The editor paints on its own thread; two quiet timer ticks after it appears
// are enough for a screenshot to show it.
static void CALLBACK CheckEditorReady(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND editorWindow = FindWindowA("PFDlgClass", nullptr);
    if (!editorWindow || !IsWindowVisible(editorWindow)) return;
    if (!LoadPictureStep(editorWindow)) return;
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
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--open-editor") == 0) openEditor = true;
        else if (std::strcmp(__argv[i], "--maximize-child") == 0) maximizeChild = true;
        else if (std::strcmp(__argv[i], "--ready-file") == 0 && i + 1 < __argc) readyFile = __argv[++i];
        else if (std::strcmp(__argv[i], "--load-picture") == 0 && i + 1 < __argc) pictureToLoad = __argv[++i];
    }

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
    if (readyFile || pictureToLoad) SetTimer(nullptr, 0, 100, CheckEditorReady);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMDISysAccel(host.mdiClient, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
