// What the probe build of the add-in hands to tests besides the four exports:
// the editor state and the editor's helpers, to call them directly.
#ifndef PELLFORM_PROBE_API_H
#define PELLFORM_PROBE_API_H

#include <windows.h>

struct EditorState;

struct ProbeApi {
    EditorState* state;
    int (*showError)(const char* text);
    int (*askWarning)(const char* text);
    void (*centerOnOwner)(HWND hwnd);
    HICON (*makeTintedIcon)(HINSTANCE module, int iconId, COLORREF color);
    void (*beginBusy)();
    void (*endBusy)();
};

using ProbeEntry = const ProbeApi*(WINAPI*)();

#endif
