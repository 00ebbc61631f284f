// PellformHost.exe: plays the IDE for the add-in beside it.
//   --maximize-child     maximize the MDI child before the add-in loads
//   --open-editor        choose the add-in's menu item once loaded
//   --ready-file PATH    write PATH once the editor window is up and painted
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "host/stand_in_host.h"

static const char* readyFile = nullptr;
static int readyTicks = 0;

// The editor paints on its own thread; two quiet timer ticks after it appears
// are enough for a screenshot to show it.
static void CALLBACK CheckEditorReady(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND editorWindow = FindWindowA("PFDlgClass", nullptr);
    if (!editorWindow || !IsWindowVisible(editorWindow)) return;
    RedrawWindow(editorWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (++readyTicks < 3) return;
    KillTimer(nullptr, timer);
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
    if (readyFile) SetTimer(nullptr, 0, 100, CheckEditorReady);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateMDISysAccel(host.mdiClient, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
