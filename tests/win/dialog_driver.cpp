#include "dialog_driver.h"

#include "harness.h"

namespace {
struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[32] = "";
    GetClassNameA(hwnd, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    if (search->caption && WindowText(hwnd) != search->caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}
}  // namespace

HWND WaitForDialog(DWORD threadId, const char* caption, DWORD timeoutMs) {
    Search search{caption, nullptr};
    WaitUntil(
        [&] {
            EnumThreadWindows(threadId, MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

std::string MessageBoxText(HWND box) { return DialogItemText(box, 0xFFFF); }

bool HasMessageBoxIcon(HWND box) {
    HWND icon = GetDlgItem(box, 0x440);
    return icon && IsWindowVisible(icon);
}

std::string DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetDialogItemText(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }

void PressButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

HWND FindDialogNow(DWORD threadId, const char* caption) {
    Search search{caption, nullptr};
    EnumThreadWindows(threadId, MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The name box of an explorer-style file dialog is the combo box cmb13 (0x47C).
void ChooseFileInDialog(HWND dialog, const std::string& path) {
    SetDlgItemTextA(dialog, 0x47C, path.c_str());
    PressButton(dialog, IDOK);
}
