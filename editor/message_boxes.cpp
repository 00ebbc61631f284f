// The two message boxes, the busy pointer and dialog centring shared by every window.
#include <windows.h>

#include "editor/editor_state.h"
#include "editor/pixel_math.h"

int ShowError(const char* text) {
    editor.errorBox.hwndOwner = hwndEditor.load();
    editor.errorBox.lpszText = text;
    return MessageBoxIndirectA(&editor.errorBox);
}

int AskWarning(const char* text) {
    editor.warningBox.lpszText = text;
    return MessageBoxIndirectA(&editor.warningBox);
}

void BeginBusy() {
    ++editor.busyCount;
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
}

void EndBusy() {
    --editor.busyCount;
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */));
}

void CenterOnOwner(HWND hwnd) {
    RECT owner{}, window{};
    GetWindowRect(GetWindow(hwnd, GW_OWNER), &owner);
    GetWindowRect(hwnd, &window);
    const int x = CenteredStart(owner.left, owner.right - owner.left, window.right - window.left);
    const int y = CenteredStart(owner.top, owner.bottom - owner.top, window.bottom - window.top);
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    // Brings back onto the screen a window that now sticks out of it.
    SendMessageA(hwnd, DM_REPOSITION, 0, 0);
}
