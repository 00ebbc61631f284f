// Host integration: the state that ties the add-in to the host and the editor thread.
#ifndef PELLFORM_ADDIN_H
#define PELLFORM_ADDIN_H

#include <windows.h>

#include "platform/module.h"

// The part of the host's record that the add-in reads: its first three fields.
struct HostHandles {
    HWND hwndMain;
    HMENU hMainMenu;
    HWND hwndClient;
};

extern "C" {
void WINAPI GetWAAddInData(char* name, char* description);
int WINAPI WAAddInLoad(HostHandles* handles, int features);
int WINAPI FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI WAAddInUnload();
}

#endif
