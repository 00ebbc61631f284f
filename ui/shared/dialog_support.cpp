#include "ui/shared/dialog_support.h"

#include "core/pixel_math.h"
#include "res/resource_ids.h"

static MSGBOXPARAMSA errorBox{};
static MSGBOXPARAMSA warningBox{};
// Long operations under way on the editor thread.
static int busyCount = 0;

void InitializeMessageBoxes(HINSTANCE module) {
    errorBox.cbSize = sizeof(MSGBOXPARAMSA);
    errorBox.hInstance = module;
    errorBox.lpszCaption = "Error";
    errorBox.dwStyle = MB_USERICON;
    errorBox.lpszIcon = MAKEINTRESOURCEA(IDI_ERROR_BOX);
    warningBox = errorBox;
    warningBox.lpszCaption = "Warning";
    warningBox.dwStyle = MB_USERICON | MB_YESNO;
    warningBox.lpszIcon = MAKEINTRESOURCEA(IDI_QUESTION_BOX);
}

int ShowError(const char* text, HWND owner) {
    errorBox.hwndOwner = owner;
    errorBox.lpszText = text;
    return MessageBoxIndirectA(&errorBox);
}

int AskYesNo(const char* text) {
    warningBox.lpszText = text;
    return MessageBoxIndirectA(&warningBox);
}

void BeginBusy() {
    ++busyCount;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndBusy() {
    --busyCount;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

bool IsBusy() { return busyCount > 0; }

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
