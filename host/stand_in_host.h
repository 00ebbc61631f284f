// A stand-in for the IDE that hosts the add-in: a frame window with an MDI client
// and one MDI child, a menu bar of ten submenus, free command identifiers on
// request and owner-drawn menu items drawn from their item data.
#ifndef PELLFORM_STAND_IN_HOST_H
#define PELLFORM_STAND_IN_HOST_H

#include <windows.h>

struct AddInHandles {
    HWND hwndMain;
    HMENU hMainMenu;
    HWND hwndClient;
};

using GetAddInDataProc = void(WINAPI*)(char*, char*);
using AddInLoadProc = int(WINAPI*)(AddInHandles*, int);
using FrameWindowProcType = int(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using AddInUnloadProc = BOOL(WINAPI*)();

struct StandInHost {
    HWND frame = nullptr;
    HWND mdiClient = nullptr;
    HWND mdiChild = nullptr;
    HMENU menuBar = nullptr;
    HMODULE addIn = nullptr;
    AddInHandles handles{};
    GetAddInDataProc getAddInData = nullptr;
    AddInLoadProc addInLoad = nullptr;
    FrameWindowProcType frameWindowProc = nullptr;
    AddInUnloadProc addInUnload = nullptr;
    int loadResult = 0;
    BOOL unloadResult = FALSE;
    UINT nextFreeCommandId = 40000;
    UINT lastGivenCommandId = 0;
    bool quitOnDestroy = false;
    char addInName[512]{};
    char addInDescription[512]{};
};

// The submenu the add-ins' items go to while no MDI child is maximized.
constexpr int kAddInsSubmenu = 7;
constexpr int kHostSubmenuCount = 10;

bool CreateStandInHost(StandInHost& host, bool visible);
void SetChildMaximized(StandInHost& host, bool maximized);
// Loads the add-in from `path` and calls GetWAAddInData and WAAddInLoad.
bool LoadAddIn(StandInHost& host, const char* path);
// WAAddInUnload, then FreeLibrary.
void UnloadAddIn(StandInHost& host);
void DestroyStandInHost(StandInHost& host);
// The add-in's file beside the running program.
void AddInPathBesideProgram(char* path, DWORD size);

#endif
