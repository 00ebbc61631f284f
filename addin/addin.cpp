// The four exports the host calls, and the editor thread they start.
#include "addin/addin.h"

#include <commctrl.h>

#include <cstring>

#include "core/no_throw.h"
#include "core/version.h"
#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "res/resource_ids.h"

static HWND hwndHostMain = nullptr;
// Loaded for the Read Me window's text control, from load to unload.
static OwnedLibrary hRichEditModule;
static HMENU hHostSubMenu = nullptr;
static UINT addInCommandId = 0;
static OwnedKernelHandle hEditorThread;
static DWORD editorThreadId = 0;

static DWORD WINAPI EditorThreadProc(LPVOID parameter);

static const char kMenuItemText[] = "Pellform";
static const char kAddInName[] = "Pellform " PELLFORM_VERSION_MARKED " by the Pellform developers";
static const char kAddInDescription[] =
    "This addin helps when generating and editing GDI region objects from image files.";

static WNDCLASSA editorClass = {
    CS_OWNDC | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW,
    DefDlgProcA,
    0,
    DLGWINDOWEXTRA,
    nullptr,  // the host process's module, set at load
    nullptr,
    nullptr,
    reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
    nullptr,
    EDITOR_CLASS_NAME,
};

// Non-zero from the moment an editor thread is started until its window exists
// (or failed), so a second choice of the menu item meanwhile starts no second editor.
static volatile LONG editorStarting = 0;

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) hInstance = module;
    // Freed without the unload export (or the process ending): no library may
    // be freed under the loader's lock, so the owners let go unclosed.
    if (reason == DLL_PROCESS_DETACH) {
        hRichEditModule.release();
        hEditorThread.release();
    }
    return TRUE;
}

// Waits for the editor thread while still answering messages that other threads
// send to this one: the editor's teardown activates the host window, which it
// owns, and that must not deadlock against a host thread blocked here.
static void WaitAnsweringSentMessages(HANDLE handle, const volatile LONG* whileSet) {
    while (handle) {
        if (whileSet && *whileSet == 0) return;
        DWORD timeout = whileSet ? 5 : INFINITE;
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeout, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 || result == WAIT_FAILED) return;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Lets an ending editor thread finish and forgets it.
static void ReleaseEditorThread() {
    if (!hEditorThread) return;
    WaitAnsweringSentMessages(hEditorThread.get(), nullptr);
    hEditorThread.reset();
}

static bool IsSeparator(HMENU menu, UINT position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

extern "C" void WINAPI GetWAAddInData(char* name, char* description) {
    std::strcpy(description, kAddInDescription);
    std::strcpy(name, kAddInName);
}

extern "C" int WINAPI WAAddInLoad(HostHandles* handles, int) {
    InitCommonControls();
    hRichEditModule.reset(LoadLibraryA("RichEd32"));
    editorClass.hInstance = GetModuleHandleA(nullptr);
    InitializeEditorRecords(hInstance);
    if (!RegisterClassA(&editorClass)) {
        hRichEditModule.reset();
        return -1;
    }
    hwndHostMain = handles->hwndMain;

    BOOL maximized = FALSE;
    SendMessageA(handles->hwndClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
    // A maximized MDI child puts its system menu in front of the host's submenus.
    hHostSubMenu = GetSubMenu(handles->hMainMenu, maximized ? 8 : 7);
    if (GetMenuItemCount(hHostSubMenu) == 1) AppendMenuA(hHostSubMenu, MF_SEPARATOR, 0, nullptr);
    addInCommandId = static_cast<UINT>(SendMessageA(hwndHostMain, HOST_GET_FREE_COMMAND_ID, 0, 0));
    AppendMenuA(hHostSubMenu, MF_OWNERDRAW, addInCommandId, kMenuItemText);
    return 0;
}

extern "C" int WINAPI FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || LOWORD(wParam) != addInCommandId) return 0;
    HWND open = hwndEditor.load();
    if (IsWindow(open)) {
        // Windows attaches the input of a cross-thread owner and owned window, so
        // SetFocus alone activates the editor there; wine keeps the threads'
        // input apart, where bringing the editor to the front does it.
        SetForegroundWindow(open);
        SetFocus(open);
        return 0;
    }
    if (editorStarting) return 0;  // its window is on the way and will take the focus
    ReleaseEditorThread();
    editorStarting = 1;
    hEditorThread.reset(CreateThread(nullptr, 0, EditorThreadProc, hwnd, 0, &editorThreadId));
    if (!hEditorThread) editorStarting = 0;
    return 0;
}

static void EndEditorStarting() { InterlockedExchange(&editorStarting, 0); }

static DWORD RunEditorThread() {
    RunEditorWindow(hwndHostMain, EndEditorStarting);
    return 0;
}

static DWORD WINAPI EditorThreadProc(LPVOID) {
    // The window procedures catch their own; this is the last frame of ours.
    return CallWithoutThrowing(DWORD{1}, RunEditorThread);
}

extern "C" BOOL WINAPI WAAddInUnload() {
    // An editor still being created would otherwise escape the Exit below.
    WaitAnsweringSentMessages(hEditorThread.get(), &editorStarting);
    SendMessageA(hwndEditor.load(), WM_COMMAND, IDM_EXIT, 0);
    // The host frees this module after we return: no editor code may still run.
    ReleaseEditorThread();
    UnregisterClassA(EDITOR_CLASS_NAME, editorClass.hInstance);
    hRichEditModule.reset();
    // Three items means the host's one, our separator and ours; but the item in
    // the middle can be another add-in's, which is not ours to delete.
    if (GetMenuItemCount(hHostSubMenu) == 3 && IsSeparator(hHostSubMenu, 1)) DeleteMenu(hHostSubMenu, 1, MF_BYPOSITION);
    return DeleteMenu(hHostSubMenu, addInCommandId, MF_BYCOMMAND);
}
