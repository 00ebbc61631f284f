// The two message boxes, the busy pointer and dialog centring shared by every window.
#include <windows.h>

#include "ui/editor/editor_state.h"
#include "core/pixel_math.h"

int ShowError(const char* text, HWND owner) {
    settings.errorBox.hwndOwner = owner ? owner : hwndEditor.load();
    settings.errorBox.lpszText = text;
    return MessageBoxIndirectA(&settings.errorBox);
}

int AskWarning(const char* text) {
    EditorDocument& document = Document();
    settings.warningBox.lpszText = text;
    ++document.pendingQuestions;
    const int answer = MessageBoxIndirectA(&settings.warningBox);
    --document.pendingQuestions;
    return answer;
}

void BeginBusy() {
    ++Document().busyCount;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndBusy() {
    --Document().busyCount;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

static void KeepInsideWorkArea(HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT window{};
    if (!GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor) || !GetWindowRect(hwnd, &window))
        return;
    const RECT& work = monitor.rcWork;
    LONG x = window.left, y = window.top;
    if (window.right > work.right) x -= window.right - work.right;
    if (window.bottom > work.bottom) y -= window.bottom - work.bottom;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    if (x != window.left || y != window.top)
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
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
    // Wine's dialog manager ignores DM_REPOSITION; do what Windows does there.
    KeepInsideWorkArea(hwnd);
}
