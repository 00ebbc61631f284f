#include "tests/support/window_thread.h"

#include <cstring>
#include <utility>

#include "res/resource_ids.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

std::string WindowText(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

static BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<std::pair<const char*, HWND>*>(parameter);
    char className[32] = "";
    GetClassNameA(hwnd, className, sizeof className);
    if (std::strcmp(className, "#32770") || !IsWindowVisible(hwnd)) return TRUE;
    if (search->first && WindowText(hwnd) != search->first) return TRUE;  // no caption: any dialog
    search->second = hwnd;
    return FALSE;
}

HWND FindDialogNow(DWORD threadId, const char* caption) {
    std::pair<const char*, HWND> search{caption, nullptr};
    EnumThreadWindows(threadId, MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND WaitForDialog(DWORD threadId, const char* caption, DWORD timeoutMs, DWORD pollMs) {
    HWND found = nullptr;
    return WaitUntil([&] { return (found = FindDialogNow(threadId, caption)) != nullptr; }, timeoutMs, pollMs), found;
}

HWND FindEditorWindow() { return FindWindowA(EDITOR_CLASS_NAME, nullptr); }

EditorWindow OpenEditorWindow(HWND frame, UINT menuCommand) {
    SendMessageA(frame, WM_COMMAND, menuCommand, 0);
    EditorWindow result;
    if (!WaitUntil([&] { return (result.hwnd = FindEditorWindow()) && IsWindowVisible(result.hwnd); }))
        return EditorWindow{};
    result.threadId = GetWindowThreadProcessId(result.hwnd, nullptr);
    // The About box (no caption) shows for a second as a splash; a click ends it.
    if (HWND splash = FindDialogNow(result.threadId, "")) {
        PostMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
        if (!WaitUntil([&] { return !IsWindowVisible(splash); })) return EditorWindow{};
        SetForegroundWindow(result.hwnd);
    }
    return result;
}

static const UINT runWorkMessage = RegisterWindowMessageA("PellformRunWork");

// Sees every message sent to a window of the hooked thread, on that thread.
static LRESULT CALLBACK RunSentWork(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == runWorkMessage)
        (*reinterpret_cast<const std::function<void()>*>(sent->lParam))();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD RunOnWindowThread(HWND window, const std::function<void()>& work) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RunSentWork, nullptr, GetWindowThreadProcessId(window, nullptr));
    if (!hook) return 0;
    DWORD ranOn = 0;
    const std::function<void()> marked = [&] {
        ranOn = GetCurrentThreadId();
        work();
    };
    SendMessageA(window, runWorkMessage, 0, reinterpret_cast<LPARAM>(&marked));
    UnhookWindowsHookEx(hook);
    return ranOn;
}
